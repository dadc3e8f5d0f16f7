#pragma once
// The multiple-document frame. Each window of a program is a widget inside a QMdiSubWindow;
// a child with menus puts them on the frame's menu bar while it is the active child, and the
// frame's own menus show otherwise. "Unload" closes and deletes.
#include <QList>
#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QAction;

class QCheckBox;

namespace platform {

// Implemented by child windows that carry a menu of their own: the menu bar entries, each a
// submenu's menuAction() or a plain action (a title item).
class MenuOwner {
  public:
    virtual ~MenuOwner() = default;
    virtual QList<QAction*> childMenus() const = 0;
};

class MdiFrame : public QMainWindow {
    Q_OBJECT
  public:
    explicit MdiFrame(QWidget* parent = nullptr);
    ~MdiFrame() override;

    QMdiArea* area() const { return area_; }
    // Wraps `child` in a sub-window (deleted with it on close) and shows it modeless.
    QMdiSubWindow* showChild(QWidget* child);
    // The frame's own menus (shown when no child with a menu is active).
    void setFrameMenus(const QList<QAction*>& entries);
    // Menus at the end of the bar whatever window is active (the window list, help).
    void setLastingMenus(const QList<QAction*>& entries);
    // Items of the frame's ファイル menu that a child's ファイル menu (objectName Mn_File) takes
    // too, before its last item: what the reader reaches from any window.
    void setLastingFileActions(const QList<QAction*>& actions);
    // A ウィンドウ menu: cascade, tile, and the open windows to choose from.
    QMenu* makeWindowMenu();
    // Every child widget of the frame, in creation order.
    QList<QWidget*> children() const;
    template <class T>
    T* findChildWindow() const {
        for (QWidget* w : children())
            if (auto* t = qobject_cast<T*>(w)) return t;
        return nullptr;
    }
    // Re-reads the menus of the active child (after it changed them).
    void refreshMenus();
    // A close was asked for and waits for a child still finishing its run.
    bool closing() const { return closePending_; }
    // A child refused the close (the reader chose to keep it): the frame stays open.
    virtual void abandonClose() { closePending_ = false; }

  protected:
    // Closes every child first; a child that refuses (a run still stopping) keeps the frame
    // open, and the frame closes once that child has gone.
    void closeEvent(QCloseEvent* e) override;

  private:
    void showMenus(const QList<QAction*>& entries);
    QMdiArea* area_;
    QList<QAction*> frameMenus_;
    QList<QAction*> lastingMenus_;
    QList<QAction*> lastingFile_;
    bool closePending_ = false;
};

// The sub-window that holds `child`, or nullptr for a top-level window.
QMdiSubWindow* subWindowOf(const QWidget* child);
// Shows the child's window and makes it the active, topmost one.
void bringToFront(QWidget* child);
// Moves (and if need be shrinks) the child's sub-window so that it lies wholly in the frame's
// client area.
void keepInside(QWidget* child);
// Closes and deletes the child's window (its sub-window too).
void unload(QWidget* child);

// A check box whose state is kept in the settings (app, section, key: "True"/"False"),
// off when nothing is kept.
QCheckBox* keptCheckBox(QWidget* parent, const QString& objectName, const QString& caption,
                        const QString& app, const QString& section, const QString& key);

}  // namespace platform
