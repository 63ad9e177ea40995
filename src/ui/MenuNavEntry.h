#pragma once
// One widget entered in a menu's navigation list, held by a link that empties when the
// widget dies; the menu then drops the entry on its next walk of the list.
#include "engine/Link.h"
#include "engine/QorBase.h"

class MenuNavEntry : public QorBase {
public:
    explicit MenuNavEntry(QorBase* widget);

    QorBase* getWidget() const { return widget.get(); }

private:
    Link widget;  // the widget's referrers list
};
