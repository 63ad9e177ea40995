#include <gtest/gtest.h>

#include <string>

#include "MultipartForm.h"

namespace {

constexpr const char* kType = "multipart/form-data; boundary=b";

// Parses `body` in pieces of `piece` bytes (0: whole); the error, or "" when it was read.
std::string parseInPieces(const std::string& body, std::size_t piece, Form& form) {
    class Collector : public MultipartParser::Events {
    public:
        explicit Collector(Form& form) : form_(form) {}
        bool partBegin(const std::string& name, const std::string& fileName, std::string&) override {
            at_ = form_.emplace(name, FormPart{fileName, {}});
            return true;
        }
        bool partData(std::string_view bytes, std::string&) override {
            at_->second.content.append(bytes);
            return true;
        }
        bool partEnd(std::string&) override { return true; }

    private:
        Form& form_;
        Form::iterator at_;
    } collector(form);
    MultipartParser parser("b", collector);
    std::string error;
    bool ok = true;
    for (std::size_t at = 0; ok && at < body.size(); at += piece == 0 ? body.size() : piece)
        ok = parser.feed(std::string_view(body).substr(at, piece == 0 ? body.size() : piece), error);
    return ok && parser.finish(error) ? "" : error;
}

std::string formWithHead(const std::string& head) { return "--b\r\n" + head + "\r\n\r\nvalue\r\n--b--\r\n"; }

TEST(MultipartFormTest, aPartsHeadHasItsLimitHoweverTheBodyIsCut) {
    const std::string disposition = "Content-Disposition: form-data; name=\"a\"\r\nX: ";
    const std::string fits = disposition + std::string(8192 - disposition.size(), 'h');
    const std::string over = fits + "h";
    for (const std::size_t piece : {0, 1, 4096, 8192, 8193, 8196, 8197, 64 * 1024}) {
        Form form;
        EXPECT_EQ(parseInPieces(formWithHead(fits), piece, form), "") << piece;
        EXPECT_EQ(form.find("a")->second.content, "value");
        EXPECT_EQ(parseInPieces(formWithHead(over), piece, form), "A form part has too long a head.") << piece;
    }
    Form form;
    std::string error;
    EXPECT_FALSE(MultipartForm::parse(kType, formWithHead(over), form, error));
    EXPECT_EQ(error, "A form part has too long a head.");
}

TEST(MultipartFormTest, spaceAfterADelimiterHasItsLimitHoweverTheBodyIsCut) {
    const auto form = [](std::size_t spaces) {
        return "--b" + std::string(spaces, ' ') + "\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nv\r\n--b--";
    };
    for (const std::size_t piece : {0, 1, 100, 256, 257, 258, 259}) {
        Form kept;
        EXPECT_EQ(parseInPieces(form(256), piece, kept), "") << piece;
        EXPECT_EQ(parseInPieces(form(257), piece, kept), "The form has a malformed delimiter line.") << piece;
    }
}

}  // namespace
