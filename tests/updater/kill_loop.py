#!/usr/bin/env python3
"""Kills the updater at random points while it applies a package, starts it again, and checks that
the installation is then exactly the old version or exactly the new one, never a mixture.

    tests/updater/kill_loop.py --mendler build/bin/Mendler --signer build/bin/updatesign --kills 200

Most kills land while the package is being moved into place (the journal exists); the rest at
random earlier points (downloading, unpacking into the staging folder). After each kill the
updater is started again with the update server answering nothing, so that it only finishes or
undoes the interrupted update and starts the lobby. A second phase sends SIGTERM while the
package is being unpacked or applied: the updater must undo it or finish it, say truthfully
which, leave nothing behind and, when it undid it, end without starting the lobby. Prints the counts; exits 1 at the first mixed installation.
"""

import argparse
import http.server
import io
import os
import random
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

LOBBY = "#!/bin/sh\necho started > lobby-started.txt\n"


class Server:
    """Serves the package for version 1.00 while `up`, and 404 for everything otherwise."""

    def __init__(self):
        self.up = True
        self.files = {}  # path -> bytes: the package and its signature
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                body = owner.files.get(self.path)
                if owner.up and body is not None:
                    self.send_response(200)
                    self.send_header("Content-Length", str(len(body)))
                    self.end_headers()
                    self.wfile.write(body)
                else:
                    self.send_error(404)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()


def make_trees(root, port, mendler, signer, files):
    """The old installation, the new one, and the signed package that turns one into the other."""
    old, new = os.path.join(root, "old"), os.path.join(root, "new")
    rng = random.Random(7)
    secret, public = os.path.join(root, "update.key"), os.path.join(root, "update.pub")
    subprocess.run([signer, "keygen", secret, public], check=True)
    for tree, version in ((old, "1.00"), (new, "1.01")):
        os.makedirs(os.path.join(tree, "Info", "ENG"))
        write(tree, "Option.ini", "[Option]\r\nLANGUAGE=ENG\r\n")
        write(tree, "Info/ENG/ATString.ini",
              "00=127.0.0.1:%d\r\n01=/patch/\r\n02=Received\r\n03=Updated\r\n04=Up to date\r\n"
              "05=Looking\r\n06=Downloading\r\n07=Update\r\n" % port)
        write(tree, "Version.ini", version + "\r\n")
        write(tree, "Ravelin", LOBBY + "# " + version + "\n", 0o755)
        with open(public) as key:
            write(tree, "Upgrade/Update.ini", "KEY=" + key.read())
        shutil.copy2(mendler, os.path.join(tree, "Mendler"))
    for i in range(files):
        name = "Map/Club%02d/Hole%03d.dat" % (i % 12, i)
        body = bytes(rng.getrandbits(8) for _ in range(rng.randint(200, 3000)))
        write(old, name, body)
        if i % 5 != 0:  # four in five files change
            body = body[::-1] + b"v2"
        write(new, name, body)
    for i in range(files // 4):  # and a new folder tree
        write(new, "Sound/Set%02d/Effect%03d.wav" % (i % 6, i), b"RIFF" + bytes([i % 256]) * 500)
    package = io.BytesIO()
    with zipfile.ZipFile(package, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in sorted(snapshot(new).items()):
            if data[0] == "file" and snapshot_entry(old, name) != data:
                archive.writestr(name, data[2])  # made without Unix modes, like a Windows package
    package_path, signature_path = os.path.join(root, "UpData.zip"), os.path.join(root, "UpData.zip.sig")
    with open(package_path, "wb") as out:
        out.write(package.getvalue())
    subprocess.run([signer, "sign", secret, "1.00", package_path, signature_path], check=True)
    with open(signature_path, "rb") as signature:
        return old, new, {"/patch/1.00/UpData.zip": package.getvalue(),
                          "/patch/1.00/UpData.zip.sig": signature.read()}


def write(tree, name, body, mode=0o644):
    path = os.path.join(tree, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(body.encode() if isinstance(body, str) else body)
    os.chmod(path, mode)


def snapshot_entry(tree, name):
    path = os.path.join(tree, name)
    if not os.path.lexists(path):
        return None
    info = os.lstat(path)
    if stat.S_ISDIR(info.st_mode):
        return ("folder",)
    with open(path, "rb") as f:
        return ("file", stat.S_IMODE(info.st_mode), f.read())


def snapshot(tree, skip=("Upgrade", "lobby-started.txt")):
    result = {}
    for folder, dirs, files in os.walk(tree):
        relative = os.path.relpath(folder, tree)
        dirs[:] = [d for d in dirs if os.path.normpath(os.path.join(relative, d)) not in skip]
        for name in dirs + files:
            key = os.path.normpath(os.path.join(relative, name))
            if key not in skip:
                result[key] = snapshot_entry(tree, key)
    return result


def work_folder_left(game):
    upgrade = os.path.join(game, "Upgrade")
    kept = ("UpData.zip", "Update.ini")
    return sorted(n for n in os.listdir(upgrade) if n not in kept) if os.path.isdir(upgrade) else []


def start(game, stderr=subprocess.DEVNULL):
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    return subprocess.Popen([os.path.join(game, "Mendler")], cwd=game, env=env,
                            stdout=subprocess.DEVNULL, stderr=stderr)


def wait_for(condition, limit):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.0005)
    return False


def applying(game):
    return os.path.exists(os.path.join(game, "Upgrade", "Journal.txt"))


def unpacking(game):
    upgrade = os.path.join(game, "Upgrade")
    return os.path.isdir(upgrade) and any(n.startswith("Staging-") for n in os.listdir(upgrade))


def measure_apply(game):
    """How long one undisturbed run keeps its journal, that is, applies the package."""
    process = start(game)
    wait_for(lambda: applying(game) or process.poll() is not None, 60)
    began = time.monotonic()
    wait_for(lambda: not applying(game), 60)
    seconds = time.monotonic() - began
    process.wait()
    return seconds


def reset(game, old):
    # The lobby stand-in started by the last run may still be writing its mark.
    while os.path.exists(game):
        shutil.rmtree(game, ignore_errors=True)
        time.sleep(0.01)
    shutil.copytree(old, game, symlinks=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mendler", required=True)
    parser.add_argument("--signer", required=True, help="updatesign, which makes the key and signs the package")
    parser.add_argument("--kills", type=int, default=200)
    parser.add_argument("--stops", type=int, default=10, help="SIGTERMs while unpacking or applying")
    parser.add_argument("--files", type=int, default=600)
    parser.add_argument("--seed", type=int, default=None)
    args = parser.parse_args()
    rng = random.Random(args.seed)

    root = tempfile.mkdtemp(prefix="brightlea-kill-loop-")
    try:
        server = Server()
        old, new, server.files = make_trees(root, server.port, os.path.abspath(args.mendler),
                                            os.path.abspath(args.signer), args.files)
        expected = {"old": snapshot(old), "new": snapshot(new)}
        game = os.path.join(root, "game")
        reset(game, old)
        counts = {"during apply": 0, "before apply": 0, "old": 0, "new": 0}
        apply_seconds = measure_apply(game)
        reset(game, old)

        for kill in range(args.kills):
            server.up = True
            process = start(game)
            if rng.random() < 0.75 and wait_for(lambda: applying(game) or process.poll() is not None, 60):
                time.sleep(rng.uniform(0, apply_seconds))
            else:
                time.sleep(rng.uniform(0, 2.0))
            in_apply = applying(game)
            process.kill()
            process.wait()
            counts["during apply" if in_apply else "before apply"] += 1

            server.up = False  # the next start only recovers
            if os.path.exists(os.path.join(game, "lobby-started.txt")):
                os.remove(os.path.join(game, "lobby-started.txt"))
            subprocess.run([os.path.join(game, "Mendler")], cwd=game, timeout=120,
                           env=dict(os.environ, SDL_VIDEODRIVER="dummy"),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            state = snapshot(game)
            found = next((name for name, tree in expected.items() if tree == state), None)
            if found is None or work_folder_left(game):
                differing = sorted(k for k in set(state) | set(expected["old"])
                                   if state.get(k) != expected["old"].get(k))
                print("kill %d: MIXED installation (in apply: %s); differs from old in %d paths, e.g. %s; "
                      "left in Upgrade: %s" % (kill + 1, in_apply, len(differing), differing[:5],
                                               work_folder_left(game)))
                return 1
            counts[found] += 1
            if (kill + 1) % 20 == 0:
                print("%d kills so far: %s" % (kill + 1, counts), flush=True)
            if found == "new":
                reset(game, old)

        stops = {"old": 0, "new": 0}
        server.up = True
        for stop in range(args.stops):
            reset(game, old)
            process = start(game, subprocess.PIPE)
            wait_for(lambda: (unpacking(game) if stop % 2 == 0 else applying(game)) or process.poll() is not None,
                     60)
            process.send_signal(signal.SIGTERM)
            printed = process.communicate()[1].decode(errors="replace")
            status = process.returncode
            state = snapshot(game)
            found = next((name for name, tree in expected.items() if tree == state), None)
            lobby = os.path.exists(os.path.join(game, "lobby-started.txt"))
            # What the updater says it left must be what it left.
            said = {"old": "left as it was", "new": "brought to version 1.01"}.get(found, "")
            if (found is None or work_folder_left(game) or said not in printed or
                    (found == "old" and (status != 1 or lobby))):
                print("SIGTERM %d: status %d, lobby started %s, installation %s, left %s, said %r"
                      % (stop + 1, status, lobby, found or "MIXED", work_folder_left(game), printed))
                return 1
            stops[found] += 1

        print("apply step of an undisturbed run: %.0f ms" % (apply_seconds * 1000))
        print("%d kills (%d during the apply step, %d before it): afterwards %d times the old "
              "installation, %d times the new one, never mixed" % (
                  args.kills, counts["during apply"], counts["before apply"], counts["old"], counts["new"]))
        print("%d SIGTERMs while unpacking or applying: %d undone cleanly, %d after the package was "
              "already in place" % (args.stops, stops["old"], stops["new"]))
        return 0
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
