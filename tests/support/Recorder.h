#pragma once
// Objects that write what happens to them into a shared journal, to check orders.
#include <string>
#include <vector>

#include "engine/Event.h"
#include "engine/QorBase.h"

using Journal = std::vector<std::string>;

class RecordingObject : public QorBase {
public:
    RecordingObject(Journal& journal_, std::string name_) : journal(journal_), name(std::move(name_)) {}
    ~RecordingObject() override { journal.push_back(name + " destroyed"); }

    void tick(double time, double dt) override {
        journal.push_back(name + " tick");
        if (flagSelfOnTick) pendingDelete = 1;
        QorBase::tick(time, dt);
    }
    bool hitTest() override { return hit; }
    bool onEvent(Event& e) override {
        journal.push_back(name + " event " + std::to_string(e.code));
        return false;
    }
    bool onPreviewEvent(Event& e) override {
        journal.push_back(name + " preview " + std::to_string(e.code));
        return false;
    }
    bool onBubbleEvent(Event& e) override {
        journal.push_back(name + " bubble " + std::to_string(e.code));
        return false;
    }
    void onQORmodeChange(int oldMode, int newMode) override {
        journal.push_back(name + " mode " + std::to_string(oldMode) + "->" + std::to_string(newMode));
    }
    void onStateChanged() override { journal.push_back(name + " state " + std::to_string(state)); }

    Journal& journal;
    std::string name;
    bool hit = false;
    bool flagSelfOnTick = false;
};
