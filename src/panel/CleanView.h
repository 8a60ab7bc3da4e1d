#pragma once

#include <QWidget>

class Cleaner;
class DesktopServices;
class FittingScrollArea;
class PrimaryButton;
class QLabel;
class QVBoxLayout;
class RuleGroupRow;
class StatusLine;

// The panel's main page: how many Desktop files the rules would put away, one row per rule
// that has some, how many others stay, the "Clean Desktop" button (Return) and the status
// line. With nothing to put away it says the desktop is clean instead of listing rows.
class CleanView : public QWidget {
    Q_OBJECT

  public:
    CleanView(Cleaner& cleaner, DesktopServices& services, QWidget* parent = nullptr);

    PrimaryButton* cleanButton() const { return m_cleanButton; }
    StatusLine* statusLine() const { return m_statusLine; }
    // The rows shown now, in order.
    QList<RuleGroupRow*> rows() const;
    bool isShowingEmptyState() const;
    // Where the rows scroll when they do not all fit on the screen.
    FittingScrollArea* groupScroll() const { return m_groupScroll; }

  private:
    QWidget* buildEmptyState();
    void refresh();

    Cleaner& m_cleaner;

    QWidget* m_emptyState = nullptr;
    QLabel* m_emptySubtitle = nullptr;
    QLabel* m_countLabel = nullptr;
    QWidget* m_groupList = nullptr;
    QVBoxLayout* m_groupLayout = nullptr;
    FittingScrollArea* m_groupScroll = nullptr;
    QLabel* m_otherLabel = nullptr;
    PrimaryButton* m_cleanButton = nullptr;
    StatusLine* m_statusLine = nullptr;
};
