// Entry point of the game client. The frame loop arrives with the application shell.
int main() {
    return 0;
}
