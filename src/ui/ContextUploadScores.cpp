#include "ui/ContextUploadScores.h"

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "language/StringIds.h"
#include "net/HttpRequest.h"
#include "ui/ContextMenuBackground.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MessageViewer.h"
#include "ui/RequestLines.h"
#include "ui/ScoreUploadData.h"
#include "ui/ScreenFrame.h"
#include "ui/UserFile.h"
#include "ui/WebAddress.h"

QOR_DEFINE_CLASS(ContextUploadScores, ContextMenu, (&makeInstance<ContextUploadScores, BasicLink>))

ClassInfo* ContextUploadScores::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return RequestLines::text(id); }
}  // namespace

ContextUploadScores::ContextUploadScores() {
    bDeleteOnClose = 1;
    if (global) hookBefore = global->pMenuBackground;
    ScreenFrame::addTitle(this, text(StringId::UPLOADSCORES));
    pViewer = new MessageViewer();
    for (int id : {StringId::UPLOADTEXT1, StringId::UPLOADTEXT2, StringId::UPLOADTEXT3}) pViewer->addMessage(text(id));
    if (!qor->bDebugLocked)
        pViewer->addMessage(formatString(u"Debug: sizeof(ScoreUploadData)=%d, mod8=%d",
                                         static_cast<int>(ScoreUploadData::kSize),
                                         static_cast<int>(ScoreUploadData::kSize % 8)));
    pViewer->centreVertically(0.0f);
    addChild(pViewer);
    ScreenFrame::addBack(this, text(StringId::CANCEL));
    pNext = ScreenFrame::addNext(this, text(StringId::NEXT));
    ScreenFrame::keepBetweenTitleAndItems(this, pViewer);
}

void ContextUploadScores::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pRequest) pollRequest();
    if (!pNext->takeTrigger()) return;
    if (pRequest)
        bFinished = 1;
    else
        startUpload();
}

void ContextUploadScores::pollRequest() {
    switch (pRequest->takeState()) {
        case HttpRequest::Failed:
            RequestLines::showFailure(*pViewer, *pRequest, StringId::FAILED);
            break;
        case HttpRequest::Done:
            RequestLines::showReply(*pViewer, *pRequest);
            pNext->caption = text(StringId::FINISH);
            pNext->bDisabled = 0;
            break;
        default:
            break;
    }
}

void ContextUploadScores::startUpload() {
    pNext->bDisabled = 1;
    const ScoreUploadData record(global->configuration);
    pViewer->addMessage(text(StringId::STARTINGDOTS));
    pRequest = HttpRequest::create(WebAddress::getHost(), u"/tv2/highscoreupload.php");
    pRequest->addStandardFields();
    pRequest->addField(record.bytes.data(), ScoreUploadData::kSize, u"HSTfile", getHighScoreFileName());
    pRequest->start();
}
