#include "ui/RequestLines.h"

#include "engine/Qor.h"
#include "engine/Strings.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "net/HttpRequest.h"
#include "ui/MessageViewer.h"

std::u16string RequestLines::text(int id) { return qor->language().getString(id); }

void RequestLines::showFailure(MessageViewer& viewer, const HttpRequest& request, int lastLine) {
    if (request.isRefusal()) {
        // The service answered: its reason says what went wrong, not the connection.
        showReplyLines(viewer, request);
    } else {
        viewer.addMessage(request.errorText);
        viewer.addMessage(text(StringId::CHECKCONNECTION));
    }
    viewer.addMessage(text(lastLine));
}

void RequestLines::showReply(MessageViewer& viewer, const HttpRequest& request) {
    viewer.addMessage(text(StringId::CONNECTED));
    showReplyLines(viewer, request);
    viewer.addMessage(text(StringId::DONEDOT));
}

void RequestLines::showReplyLines(MessageViewer& viewer, const HttpRequest& request) {
    for (const std::u16string& line : splitString(request.getReplyText())) viewer.addMessage(line);
}
