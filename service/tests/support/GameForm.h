#pragma once
// Multipart bodies laid out byte for byte as the game's HTTP worker writes them: a line
// break first, then each part, then the closing delimiter.
#include <string>

class GameForm {
public:
    static constexpr const char* kContentType =
        "multipart/form-data; boundary=---------------------------7d33992b80330";

    GameForm& field(const std::string& name, const std::string& value) { return part(name, "", value); }
    GameForm& file(const std::string& name, const std::string& fileName, const std::string& content) {
        return part(name, fileName, content);
    }
    GameForm& standardFields(const std::string& gameName = "Torvane2Xmas") {
        return field("platform", "LINUX")
            .field("gameName", gameName)
            .field("gameVersion", "2.79")
            .field("gamePatch", "p");
    }
    std::string body() const { return body_ + "\r\n-----------------------------7d33992b80330--\r\n"; }

private:
    GameForm& part(const std::string& name, const std::string& fileName, const std::string& content) {
        body_ +=
            "\r\n-----------------------------7d33992b80330\r\nContent-Disposition: form-data; name=\"" + name + "\"";
        if (!fileName.empty()) body_ += "; filename=\"" + fileName + "\"\r\nContent-Type: application/octet-stream";
        body_ += "\r\n\r\n" + content;
        return *this;
    }

    std::string body_;
};
