#pragma once

#include <QWidget>

class Cleaner;
class DesktopServices;
class QLabel;
class QPushButton;
class SymbolView;

// The clean page's last line: what the last clean or undo did, or when the clean that can
// still be put back happened, with Undo (Ctrl+Z) while there is one. With nothing to say
// it is hidden and takes no room.
class StatusLine : public QWidget {
    Q_OBJECT

  public:
    StatusLine(Cleaner& cleaner, DesktopServices& services, QWidget* parent = nullptr);

    // The line's words as read, the failure part included; empty while hidden.
    QString text() const;
    // The part drawn in orange (" · 2 couldn't be moved"), or empty.
    const QString& failureText() const { return m_failure; }
    QPushButton* undoButton() const { return m_undo; }

  private:
    void refresh();

    Cleaner& m_cleaner;
    DesktopServices& m_services;
    int m_done = 0; // of the clean or undo at work
    int m_total = 0;
    QString m_plain;
    QString m_failure;

    SymbolView* m_symbol = nullptr;
    QLabel* m_label = nullptr;
    QPushButton* m_undo = nullptr;
};
