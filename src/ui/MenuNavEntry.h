#pragma once
// One widget in a menu's navigation list: a weak link that empties when the widget dies.
#include "engine/Link.h"
#include "engine/QorBase.h"

class MenuNavEntry : public QorBase {
public:
    explicit MenuNavEntry(QorBase* widget) { target.set(widget); }
    QorBase* widget() const { return target.get(); }

    Link target;
};
