#include "ui/ContextCrashReport.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "engine/ClassInfo.h"
#include "engine/DiskFile.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "language/StringIds.h"
#include "net/HttpRequest.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MessageViewer.h"
#include "ui/RequestLines.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"
#include "ui/WebAddress.h"

QOR_DEFINE_CLASS(ContextCrashReport, ContextMenu, (&makeInstance<ContextCrashReport, BasicLink>))

ClassInfo* ContextCrashReport::getClass() const { return &classInfo; }

const ContextCrashReport::CrashFile ContextCrashReport::kCrashFiles[4] = {
    {&getCrashLogPath, u"crashLog"},
    {&getCrashDumpPath, u"crashMiniDump"},
    {&getCrashScreenshotPath, u"crashScreenshot"},
    {&getCrashNetPath, u"crashNetTraffic"},
};

namespace {
std::u16string text(int id) { return RequestLines::text(id); }

// The whole file, or false when there is none that can be read.
bool readWhole(const std::u16string& path, std::vector<std::uint8_t>& bytes) {
    DiskFile file(path, DiskFile::kRead);
    if (!file.bOpen) return false;
    bytes.resize(file.size);
    return file.size == 0 || file.read(bytes.data(), static_cast<int>(file.size)) == static_cast<int>(file.size);
}
}  // namespace

ContextCrashReport::ContextCrashReport() {
    bDeleteOnClose = 1;
    bCloseOnEscape = 0;
    if (global) hookBefore = global->pMenuBackground;
    ScreenFrame::addTitle(this, text(StringId::ERRORREPORTTITLE));
    pViewer = new MessageViewer();
    for (int id : {StringId::ERRORREPORTINTRO1, StringId::ERRORREPORTINTRO2, StringId::ERRORREPORTINTRO3})
        pViewer->addMessage(text(id));
    addChild(pViewer);
    const auto y = static_cast<float>(-cornerY);
    ScreenFrame::addBack(this, text(StringId::CANCEL));
    pNext = ScreenFrame::addNext(this, text(StringId::NEXT));
    if (!wizardDone()) {
        pViewer->addMessage(u"");
        pViewer->addMessage(text(StringId::ERRORREPORTWIZARD1));
        pViewer->addMessage(text(StringId::ERRORREPORTWIZARD2));
        pNetworkWizard = ScreenFrame::addButton(this, y, text(StringId::NETWORKWIZARDDOTS));
    }
    pViewer->centreVertically(0.0f);
    ScreenFrame::keepBetweenTitleAndItems(this, pViewer);
}

ContextCrashReport::~ContextCrashReport() {
    pRequest.reset();
    if (wizardDone() && !bSendFailed) deleteCrashFiles();
}

bool ContextCrashReport::wizardDone() { return global && global->configuration.bNetworkWizardDone; }

void ContextCrashReport::deleteCrashFiles() {
    for (auto path : {&getCrashLogPath, &getCrashScreenshotPath, &getCrashNetPath, &getCrashDumpPath})
        ::unlink(wideToUtf8(path()).c_str());
}

void ContextCrashReport::onActivate(bool first) {
    ContextMenu::onActivate(first);
    // Once a report is under way, Next belongs to it.
    if (!pRequest) pNext->bDisabled = wizardDone() ? 0 : 1;
    if (pNetworkWizard) pNetworkWizard->bDisabled = wizardDone() ? 1 : 0;
}

void ContextCrashReport::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pRequest) pollRequest();
    if (pNetworkWizard && pNetworkWizard->takeTrigger()) ScreenStack::push(new ContextNetworkWizard1());
    if (!pNext->takeTrigger()) return;
    if (pRequest)
        bFinished = 1;
    else
        startReport();
}

void ContextCrashReport::pollRequest() {
    switch (pRequest->takeState()) {
        case HttpRequest::Done:
            RequestLines::showReply(*pViewer, *pRequest);
            pNext->caption = text(StringId::FINISH);
            pNext->bDisabled = 0;
            break;
        case HttpRequest::Failed:
            RequestLines::showFailure(*pViewer, *pRequest, StringId::FAILED);
            bSendFailed = true;
            break;
        default:
            break;
    }
}

void ContextCrashReport::startReport() {
    pNext->bDisabled = 1;
    pRequest = HttpRequest::create(WebAddress::getHost(), u"/tv2/crashreport.php");
    pRequest->addStandardFields();
    std::int64_t total = 0;
    std::vector<std::uint8_t> bytes;
    for (const CrashFile& file : kCrashFiles) {
        const std::u16string path = file.path();
        if (!readWhole(path, bytes)) continue;
        // The base name only: the full path would carry the user's login name.
        pRequest->addField(bytes.data(), static_cast<std::uint32_t>(bytes.size()), file.partName, getFileName(path));
        total += static_cast<std::int64_t>(bytes.size());
        if (!qor->bDebugLocked) pViewer->addMessage(formatString(u"DEBUG: Adding %s", file.partName));
    }
    const auto shown = static_cast<std::int32_t>(std::min<std::int64_t>(total, INT32_MAX));
    pViewer->addMessage(formatString(text(StringId::ERRORREPORTUPLOADING), formatWithThousandsSeparator(shown)));
    pViewer->addMessage(text(StringId::ERRORREPORTPLEASEWAIT));
    pRequest->start();
}
