#pragma once
// What every window of the graph component shares: it finds the graph
// window it belongs to, and lets each window between it and the graph
// window add popup-menu items and handle the component's commands
// (ids 4097 to 4107), nearest first.

#include <functional>

class CGraphWnd;
class QMenu;
class QWidget;

class CGraphBaseClass {
public:
    virtual ~CGraphBaseClass();

    // The enclosing graph window (this one when it is one); null without.
    virtual CGraphWnd* GetGraphWnd();
    virtual void AppendMenuItems(QMenu* menu);
    virtual void OnGraphCommand(int id);

    // Calls `hook` on every graph-component window from `start` up its
    // parents, nearest first; stops early when the hook returns true.
    static void NotifyAncestors(QWidget* start, const std::function<bool(CGraphBaseClass&)>& hook);
    // Builds the component's popup menu for `start`: every ancestor adds
    // its items.
    static void AppendAncestorItems(QWidget* start, QMenu* menu);
    // Passes a command id to every ancestor from `start` upward.
    static void SendCommandUp(QWidget* start, int id);

protected:
    // The window this object is.
    virtual QWidget* GraphWidget() = 0;
};
