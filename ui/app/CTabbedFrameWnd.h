#pragma once

#include <QMainWindow>

#include <vector>

class QTabWidget;

// A main window whose client area is a tab control with the tabs along the bottom and one view per tab
// above them; only the selected view is visible and enabled.
class CTabbedFrameWnd : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kTabCtrlId = 59648;

    explicit CTabbedFrameWnd(QWidget* parent = nullptr);
    ~CTabbedFrameWnd() override;

    // Creates one view (CreateView), appends it with a new, empty tab and makes it the active one.
    virtual bool AddView();
    virtual void SetActiveView(int index);
    virtual void OnCloseCurrentDoc() {}
    virtual void OnCloseDoc(int) {}

    int GetActiveIndex() const { return m_nActiveIndex; }
    QWidget* GetActiveView() const { return m_pActiveView; }
    int GetViewCount() const { return static_cast<int>(m_views.size()); }
    QWidget* GetView(int index) const;
    QTabWidget* GetTabCtrl() const { return m_pTabCtrl; }
    void SetTabText(int index, const QString& text);

protected:
    virtual QWidget* CreateView() = 0;
    virtual void OnUpdateFrameTitle() {}
    // Tells view `index` that it was hidden (false) or shown (true) by a switch of tabs.
    virtual void OnActivateView(int /*index*/, bool /*activate*/) {}

private:
    void OnTabSelected(int index);

    QTabWidget* m_pTabCtrl;
    std::vector<QWidget*> m_views;
    QWidget* m_pActiveView = nullptr;
    int m_nActiveIndex = -1;
    bool m_bSwitching = false;
};
