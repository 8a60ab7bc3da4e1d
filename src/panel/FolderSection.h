#pragma once

#include "cleaner/Scan.h"

#include <QWidget>

class DesktopServices;
class QLabel;
class QPushButton;
class QVBoxLayout;
class RoundedBox;
class RuleGroupRow;

// One tidied folder on the clean page while Vantor tidies several: its name as a small
// header, then the rows of its rules that have files and how many of its files stay; or,
// when it cannot be read, a line saying so with Show, which opens where that can be fixed.
// It is kept across scans, so a message under Show outlives the rescan of a reopened panel.
class FolderSection : public QWidget {
    Q_OBJECT

  public:
    FolderSection(DesktopServices& services, QWidget* parent = nullptr);

    void setFolder(const QString& name, const Scan::Folder& folder);
    const QString& path() const { return m_path; }
    QString name() const;

    QList<RuleGroupRow*> rows() const;
    // "Vantor can't read ~/Downloads." while it cannot be read; else empty.
    QString noAccessText() const;
    QPushButton* showButton() const { return m_showButton; }
    // "No file manager found to show …" after Show found none; else empty.
    QString fileManagerError() const;

  private:
    DesktopServices& m_services;
    QString m_path;
    QLabel* m_header = nullptr;
    RoundedBox* m_box = nullptr;
    QVBoxLayout* m_rows = nullptr;
    QLabel* m_otherLabel = nullptr;
    QWidget* m_noAccess = nullptr;
    QLabel* m_noAccessText = nullptr;
    QPushButton* m_showButton = nullptr;
    QLabel* m_error = nullptr;
};
