#pragma once
// What every window of the graph component shares: it finds the graph
// window it belongs to, and lets each window between it and the graph
// window add popup-menu items, handle the component's commands (ids 4097
// to 4107) and add and apply pages of the "Properties" sheet, nearest
// first.

#include <functional>

class CGraphWnd;
class CPropertySheet;
class QMenu;
class QPoint;
class QWidget;

class CGraphBaseClass {
public:
    virtual ~CGraphBaseClass();

    // The enclosing graph window (this one when it is one); null without.
    virtual CGraphWnd* GetGraphWnd();
    virtual void AppendMenuItems(QMenu* menu);
    virtual void OnGraphCommand(int id);
    // Adds this window's pages to the sheet (the sheet owns them).
    virtual void AddPropertyPages(CPropertySheet* sheet);
    // The sheet's result (1 for OK, 0 for Cancel): on OK the window takes
    // its pages' values; in every case it lets go of its pages.
    virtual void ApplyPropertyPages(int result);

    // Calls `hook` on every graph-component window from `start` up its
    // parents, nearest first; stops early when the hook returns true.
    static void NotifyAncestors(QWidget* start, const std::function<bool(CGraphBaseClass&)>& hook);
    // Builds the component's popup menu for `start`: every ancestor adds
    // its items.
    static void AppendAncestorItems(QWidget* start, QMenu* menu);
    // Shows a popup menu centred under the global point `at`; the menu
    // deletes itself once closed.
    static void PopupCentred(QMenu* menu, const QPoint& at);
    // Passes a command id to every ancestor from `start` upward.
    static void SendCommandUp(QWidget* start, int id);
    // The "Properties" sheet, parented to `start`: every window from
    // `start` upward adds its pages, the sheet runs modally, every window
    // gets the result, and on OK the enclosing graph window redraws
    // everything. Returns the result (1 OK, 0 Cancel).
    static int RunPropertySheet(QWidget* start);

protected:
    // The window this object is.
    virtual QWidget* GraphWidget() = 0;
};
