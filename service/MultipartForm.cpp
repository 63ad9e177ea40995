#include "MultipartForm.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::size_t kLongestHead = 8 * 1024;  // one part's header lines
constexpr std::size_t kLongestPadding = 256;    // after a delimiter, before its line break
constexpr std::string_view kLineBreak = "\r\n";

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);  // enough for the ASCII names compared here
           });
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The parameters after the first item of a header value: `key=value` or `key="value"`,
// separated by semicolons. Quoted values are taken as they stand: the game sends Windows
// paths whose backslashes are no escapes.
bool parameter(std::string_view value, std::string_view key, std::string& found) {
    std::size_t at = value.find(';');
    while (at != std::string_view::npos) {
        std::string_view rest = trim(value.substr(at + 1));
        const std::size_t equals = rest.find('=');
        const std::string_view name = trim(rest.substr(0, equals));
        std::string_view text;
        std::size_t next = std::string_view::npos;
        if (equals != std::string_view::npos) {
            rest = trim(rest.substr(equals + 1));
            if (!rest.empty() && rest.front() == '"') {
                const std::size_t close = rest.find('"', 1);
                if (close == std::string_view::npos) return false;
                text = rest.substr(1, close - 1);
                next = rest.find(';', close);
            } else {
                next = rest.find(';');
                text = trim(rest.substr(0, next));
            }
        }
        if (equalsIgnoringCase(name, key)) {
            found = std::string(text);
            return true;
        }
        if (next == std::string_view::npos) break;
        value = rest.substr(next);
        at = 0;
    }
    return false;
}

// Collects each part whole into a form.
class FormCollector : public MultipartParser::Events {
public:
    explicit FormCollector(Form& form) : form_(form) {}
    bool partBegin(const std::string& name, const std::string& fileName, std::string&) override {
        current_ = form_.emplace(name, FormPart{fileName, {}});
        return true;
    }
    bool partData(std::string_view bytes, std::string&) override {
        current_->second.content.append(bytes);
        return true;
    }
    bool partEnd(std::string&) override { return true; }

private:
    Form& form_;
    Form::iterator current_;
};

}  // namespace

std::string MultipartParser::boundaryOf(std::string_view contentType) {
    const std::string_view type = trim(contentType.substr(0, contentType.find(';')));
    std::string boundary;
    if (!equalsIgnoringCase(type, "multipart/form-data") || !parameter(contentType, "boundary", boundary)) return {};
    // A boundary has 1 to 70 characters.
    if (boundary.empty() || boundary.size() > 70) return {};
    return boundary;
}

// The body is read as if a line break came before it, so that its first delimiter, which
// needs none, is found like all the others.
MultipartParser::MultipartParser(std::string_view boundary, Events& events)
    : delimiter_("\r\n--" + std::string(boundary)), events_(events), buffer_(kLineBreak) {}

bool MultipartParser::feed(std::string_view bytes, std::string& error) {
    if (state_ == State::Done) return true;  // the epilogue is ignored
    buffer_.append(bytes);
    while (state_ != State::Done) {
        const std::size_t before = taken_;
        const State was = state_;
        if (!step(error)) return false;
        if (taken_ == before && state_ == was) {  // needs more bytes
            // What was handed on is dropped once a piece, not at every step: a body
            // parsed whole would otherwise be moved again for every part in it.
            buffer_.erase(0, std::exchange(taken_, 0));
            return true;
        }
    }
    buffer_.clear();
    taken_ = 0;
    return true;
}

bool MultipartParser::finish(std::string& error) const {
    if (state_ == State::Done) return true;
    error = "The form ends before its closing delimiter.";
    return false;
}

bool MultipartParser::step(std::string& error) {
    const std::string_view buffer = std::string_view(buffer_).substr(taken_);
    switch (state_) {
        case State::Preamble:
        case State::Data: {
            const std::size_t at = buffer.find(delimiter_);
            // Without a delimiter, all but what may be its start is part of the part.
            const std::size_t safe = at != std::string_view::npos         ? at
                                     : buffer.size() >= delimiter_.size() ? buffer.size() - delimiter_.size() + 1
                                                                          : 0;
            if (state_ == State::Data && safe > 0 && !events_.partData(buffer.substr(0, safe), error)) return false;
            if (at == std::string_view::npos) {
                taken_ += safe;
                return true;
            }
            if (state_ == State::Data && !events_.partEnd(error)) return false;
            taken_ += at + delimiter_.size();
            state_ = State::AfterDelimiter;
            return true;
        }
        case State::AfterDelimiter: {
            if (buffer.starts_with("--")) {
                state_ = State::Done;
                return true;
            }
            // The limits hold however the body is cut into pieces: an end that has not come
            // may still begin in the last byte.
            const std::size_t end = buffer.find(kLineBreak);
            if (end == std::string_view::npos && buffer.size() <= kLongestPadding + 1) return true;
            if (end == std::string_view::npos || end > kLongestPadding || !trim(buffer.substr(0, end)).empty()) {
                error = "The form has a malformed delimiter line.";
                return false;
            }
            taken_ += end + kLineBreak.size();
            state_ = State::Head;
            return true;
        }
        case State::Head: {
            // An empty head ends at once; any other at its first empty line.
            // Its end may begin in the last three bytes.
            const std::size_t end = buffer.starts_with(kLineBreak) ? 0 : buffer.find("\r\n\r\n");
            if (end == std::string_view::npos && buffer.size() <= kLongestHead + 3) return true;
            if (end == std::string_view::npos || end > kLongestHead) {
                error = "A form part has too long a head.";
                return false;
            }
            if (!readHead(buffer.substr(0, end), error)) return false;
            taken_ += end == 0 ? kLineBreak.size() : end + 4;
            state_ = State::Data;
            return true;
        }
        case State::Done:
            return true;
    }
    return true;
}

bool MultipartParser::readHead(std::string_view head, std::string& error) {
    std::string name, fileName;
    bool disposition = false;
    while (!head.empty()) {
        const std::size_t end = head.find(kLineBreak);
        const std::string_view line = head.substr(0, end);
        head = end == std::string_view::npos ? std::string_view() : head.substr(end + kLineBreak.size());
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            error = "A form part has a malformed header line.";
            return false;
        }
        if (!equalsIgnoringCase(line.substr(0, colon), "Content-Disposition")) continue;
        const std::string_view value = trim(line.substr(colon + 1));
        if (!equalsIgnoringCase(trim(value.substr(0, value.find(';'))), "form-data") ||
            !parameter(value, "name", name)) {
            error = "A form part is no form field.";
            return false;
        }
        parameter(value, "filename", fileName);
        disposition = true;
    }
    if (!disposition || name.empty()) {
        error = "A form part has no name.";
        return false;
    }
    return events_.partBegin(name, fileName, error);
}

bool MultipartForm::parse(std::string_view contentType, std::string_view body, Form& form, std::string& error) {
    const std::string boundary = MultipartParser::boundaryOf(contentType);
    if (boundary.empty()) {
        error = "Expected a multipart/form-data POST.";
        return false;
    }
    FormCollector collector(form);
    MultipartParser parser(boundary, collector);
    return parser.feed(body, error) && parser.finish(error);
}
