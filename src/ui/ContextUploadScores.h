#pragma once
// The high-score upload: explains what will be sent and, on Next, sends the five local
// tables with the installation's identity (ScoreUploadData) to the web service's
// "/tv2/highscoreupload.php" as the file part "HSTfile". Progress, the service's reply
// line by line, or the failure appear in the message viewer; after a reply Next becomes
// Finish and closes the screen. Nothing local changes, whatever the outcome.
//
// Deleted by the screen stack when it closes; a request still running then goes on
// alone and frees itself. Main thread only.
#include <memory>

#include "ui/ContextMenu.h"

class HttpRequest;
class MenuButton;
class MessageViewer;

class ContextUploadScores : public ContextMenu {
public:
    ContextUploadScores();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The menu's tick; then the request's outcome, then Next.
    void tickContents(double time, double dt) override;

    MessageViewer* pViewer = nullptr;       // child of the screen
    std::shared_ptr<HttpRequest> pRequest;  // null until Next is first pressed
    MenuButton* pNext = nullptr;            // child of the screen

private:
    void pollRequest();
    void startUpload();
};
