#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace dravia {

// The program's own window for the manual, used when the desktop has no program for HTML:
// the pages with their links between them, Back and Forward, and the overview.
class HelpBrowser : public QWidget {
    Q_OBJECT
  public:
    explicit HelpBrowser(QWidget* owner = nullptr);

    // The owner's help window (made on first use), showing the file and brought to the front.
    static HelpBrowser* showPage(const QString& localFile, QWidget* owner);

    void setPage(const QString& localFile);
    QTextBrowser* browser() const { return browser_; }

  private:
    void updateTitle();

    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
};

}  // namespace dravia
