#include "tools/toolkit/course/json_lines.h"

#include <iterator>
#include <vector>

namespace tools {
namespace {

// Walks the text for the parser and counts the line ends it has passed.
struct LineCountingIterator {
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    const char* at = nullptr;
    int* line = nullptr;

    reference operator*() const { return *at; }
    LineCountingIterator& operator++() {
        if (*at == '\n') {
            ++*line;
        }
        ++at;
        return *this;
    }
    LineCountingIterator operator++(int) {
        LineCountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const LineCountingIterator& other) const { return at == other.at; }
    bool operator!=(const LineCountingIterator& other) const { return at != other.at; }
};

// Records the line of every value by its JSON pointer while the parser reads the text.
class LineRecorder : public nlohmann::json_sax<nlohmann::json> {
  public:
    LineRecorder(const int& line, std::map<std::string, int>& lines) : line_(line), lines_(lines) {}

    bool null() override { return Scalar(); }
    bool boolean(bool) override { return Scalar(); }
    bool number_integer(number_integer_t) override { return Scalar(); }
    bool number_unsigned(number_unsigned_t) override { return Scalar(); }
    bool number_float(number_float_t, const string_t&) override { return Scalar(); }
    bool string(string_t&) override { return Scalar(); }
    bool binary(binary_t&) override { return Scalar(); }
    bool start_object(std::size_t) override { return Open(false); }
    bool start_array(std::size_t) override { return Open(true); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }
    bool key(string_t& name) override {
        frames_.back().key = name;
        lines_.emplace(frames_.back().pointer + "/" + name, line_);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    struct Frame {
        bool isArray = false;
        int index = 0;
        std::string key;
        std::string pointer;
    };

    std::string NextPointer() {
        if (frames_.empty()) {
            return "";
        }
        Frame& frame = frames_.back();
        if (!frame.isArray) {
            return frame.pointer + "/" + frame.key;
        }
        std::string pointer = frame.pointer + "/" + std::to_string(frame.index++);
        lines_.emplace(pointer, line_);
        return pointer;
    }
    bool Scalar() {
        NextPointer();
        return true;
    }
    bool Open(bool isArray) {
        Frame frame;
        frame.isArray = isArray;
        frame.pointer = NextPointer();
        lines_.emplace(frame.pointer, line_);
        frames_.push_back(frame);
        return true;
    }
    bool Close() {
        frames_.pop_back();
        return true;
    }

    const int& line_;
    std::map<std::string, int>& lines_;
    std::vector<Frame> frames_;
};

}  // namespace

bool ParseJsonWithLines(const std::string& text, JsonDocument& doc, std::string& error) {
    try {
        doc.root = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        // The parser's message carries "line N, column M".
        error = e.what();
        return false;
    }
    int line = 1;
    doc.lines.clear();
    LineRecorder recorder(line, doc.lines);
    LineCountingIterator begin{text.data(), &line};
    LineCountingIterator end{text.data() + text.size(), &line};
    nlohmann::json::sax_parse(begin, end, &recorder);
    return true;
}

int LineOf(const JsonDocument& doc, std::string pointer) {
    while (true) {
        const auto found = doc.lines.find(pointer);
        if (found != doc.lines.end()) {
            return found->second;
        }
        const size_t slash = pointer.rfind('/');
        if (slash == std::string::npos) {
            return 1;
        }
        pointer.resize(slash);
    }
}

}  // namespace tools
