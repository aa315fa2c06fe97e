#include "app/StatResultsDialog.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dravia {

StatResultsDialog::StatResultsDialog(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Stat Results"));
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    courier.setPointSize(8);
    setFont(courier);

    auto* layout = new QVBoxLayout(this);
    title_ = new QLineEdit(title, this);
    title_->setReadOnly(true);
    layout->addWidget(title_);

    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The report's lines end with carriage return and line feed; the text box wants line feeds.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(shown);
    layout->addWidget(text_, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    // About 357 by 194 dialog units of this font.
    const QFontMetrics metrics(courier);
    resize(357 * metrics.averageCharWidth() / 4, 194 * metrics.height() / 8);
}

}  // namespace dravia
