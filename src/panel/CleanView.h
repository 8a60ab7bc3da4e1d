#pragma once

#include <QWidget>

class Cleaner;
class DesktopServices;
class FittingScrollArea;
class FolderSection;
class PrimaryButton;
class QLabel;
class QVBoxLayout;
class RuleGroupRow;
class StatusLine;
struct Scan;

// The panel's main page: how many files the rules would put away, one row per rule that has
// some, how many others stay, the clean button (Return) and the status line. With nothing
// to put away it says so instead of listing rows. While Vantor tidies several folders, the
// rows and the others' line come in one section per folder under its name, each folder that
// cannot be read says so in its own, and the one button cleans them all.
class CleanView : public QWidget {
    Q_OBJECT

  public:
    CleanView(Cleaner& cleaner, DesktopServices& services, QWidget* parent = nullptr);

    PrimaryButton* cleanButton() const { return m_cleanButton; }
    // What the clean button says for `scan`; the tray's menu says the same.
    static QString cleanButtonText(const Scan& scan);
    StatusLine* statusLine() const { return m_statusLine; }
    // The rows shown now, in order, of every section.
    QList<RuleGroupRow*> rows() const;
    // The folders' sections shown now, in order; none while only the Desktop is tidied.
    QList<FolderSection*> sections() const;
    bool isShowingEmptyState() const;
    // Where the rows scroll when they do not all fit on the screen.
    FittingScrollArea* groupScroll() const;

  private:
    QWidget* buildEmptyState();
    void refresh();
    void refreshSections();

    Cleaner& m_cleaner;
    DesktopServices& m_services;

    QWidget* m_emptyState = nullptr;
    QLabel* m_emptyTitle = nullptr;
    QLabel* m_emptySubtitle = nullptr;
    QLabel* m_countLabel = nullptr;
    // The Desktop alone: its rows in one box, its others under it.
    QWidget* m_groupList = nullptr;
    QVBoxLayout* m_groupLayout = nullptr;
    FittingScrollArea* m_groupScroll = nullptr;
    QLabel* m_otherLabel = nullptr;
    // Several folders: their sections, scrolling together.
    FittingScrollArea* m_sectionScroll = nullptr;
    QVBoxLayout* m_sectionLayout = nullptr;
    PrimaryButton* m_cleanButton = nullptr;
    StatusLine* m_statusLine = nullptr;
};
