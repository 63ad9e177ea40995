#pragma once
// What the screens that talk to the web service show of a finished request in their
// message viewer: a failure's error text with the advice to check the connection, a
// refusal's reason as the service gave it, or the reply's text line by line. Main thread only, after the request has
// ended.
#include <string>

class HttpRequest;
class MessageViewer;

class RequestLines {
public:
    // The error text, then "Please check your internet connection and try again." (for a
    // refusal: the reply's lines instead), then the text of `lastLine` (a string id).
    static void showFailure(MessageViewer& viewer, const HttpRequest& request, int lastLine);
    // "Connected.", each line of the reply, "Done.".
    static void showReply(MessageViewer& viewer, const HttpRequest& request);
    // Each line of the reply, as it stands.
    static void showReplyLines(MessageViewer& viewer, const HttpRequest& request);
    // The text of a string id.
    static std::u16string text(int id);
};
