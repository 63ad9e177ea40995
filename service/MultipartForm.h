#pragma once
// multipart/form-data bodies, read as a stream: the parser takes the body in pieces of
// any size and hands each part's head and bytes on as they come, holding no more than one
// delimiter's worth of a part at a time. `MultipartForm::parse` collects a small body's
// parts whole.
#include <map>
#include <string>
#include <string_view>

class MultipartParser {
public:
    // What the parser hands on; each returns false to stop it, with `error` set.
    class Events {
    public:
        virtual ~Events() = default;
        virtual bool partBegin(const std::string& name, const std::string& fileName, std::string& error) = 0;
        virtual bool partData(std::string_view bytes, std::string& error) = 0;
        virtual bool partEnd(std::string& error) = 0;
    };

    // The boundary of a "multipart/form-data; boundary=..." content type; empty when the
    // type is another or has no usable boundary.
    static std::string boundaryOf(std::string_view contentType);

    MultipartParser(std::string_view boundary, Events& events);

    // Takes the next piece of the body. False with `error` set on a malformed body or when
    // an event refused.
    bool feed(std::string_view bytes, std::string& error);
    // After the last piece: false with `error` set unless the closing delimiter was seen.
    bool finish(std::string& error) const;

private:
    enum class State { Preamble, AfterDelimiter, Head, Data, Done };

    bool step(std::string& error);
    bool readHead(std::string_view head, std::string& error);

    std::string delimiter_;  // CRLF "--" boundary
    Events& events_;
    State state_ = State::Preamble;
    std::string buffer_;
    std::size_t taken_ = 0;  // the bytes at the start of `buffer_` handed on already
};

// A form whose parts are held whole, by field name.
struct FormPart {
    std::string fileName;  // empty for a plain field
    std::string content;
};
using Form = std::multimap<std::string, FormPart>;

namespace MultipartForm {
// Parses a whole body of `contentType`; false with a sentence for the client in `error`.
bool parse(std::string_view contentType, std::string_view body, Form& form, std::string& error);
}  // namespace MultipartForm
