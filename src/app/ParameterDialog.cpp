#include "app/ParameterDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/QtHost.h"
#include "platform/Host.h"

namespace dravia {

namespace {

// Keeps a label's enabled state equal to its field's, so a greyed box has a greyed caption.
class LabelFollowsField : public QObject {
  public:
    LabelFollowsField(QLabel* label, QWidget* field) : QObject(label), label_(label) {
        field->installEventFilter(this);
        label_->setEnabled(field->isEnabled());
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            label_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        }
        return false;
    }

  private:
    QLabel* label_;
};

}  // namespace

void greyWithField(QLabel* label, QWidget* field) {
    new LabelFollowsField(label, field);
}

ParameterDialog::ParameterDialog(ModelState& model, const QString& title, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(title);
    setModal(true);
    // The title bar's "?" turns the pointer into What's This help for any field clicked.
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
}

void ParameterDialog::explainFields(std::span<const FieldHelp> help) {
    for (const FieldHelp& entry : help) {
        auto* field = findChild<QWidget*>(QString::fromLatin1(entry.field));
        if (!field) continue;
        const QString text = QString::fromUtf8(entry.text);
        field->setToolTip(text);
        field->setWhatsThis(text);
        for (QLabel* caption : findChildren<QLabel*>()) {
            if (caption->buddy() != field) continue;
            caption->setToolTip(text);
            caption->setWhatsThis(text);
        }
    }
}

int ParameterDialog::exec() {
    const int result = QDialog::exec();
    if (pendingExit_) throw ProgramExit{*pendingExit_};
    return result;
}

void ParameterDialog::showMessage(const QString& text) {
    if (model_.host && !dynamic_cast<QtHost*>(model_.host)) {
        model_.host->showMessage(text.toStdString(), MessageIcon::None);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Dravia4"), text, QMessageBox::Ok, this);
    box.exec();
}

FieldReader ParameterDialog::fieldReader() {
    return FieldReader([this](const QString& message) { showMessage(message); });
}

void ParameterDialog::addButtonRow(QVBoxLayout* layout) {
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons_);
    // Every dialog fits its content at the font in use.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* ParameterDialog::lineField(QGridLayout* grid, int row, int column, const QString& label,
                                      const char* name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    // Room for a held value at full precision, such as an elevation converted from feet.
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000.00000000000000")) +
                           12);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field);
    greyWithField(caption, field);
    grid->addWidget(caption, row, column);
    grid->addWidget(field, row, column + 1);
    return field;
}

QComboBox* ParameterDialog::listField(QGridLayout* grid, int row, int column, const QString& label,
                                      const QStringList& entries, const char* name) {
    auto* list = new QComboBox(this);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(entries);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(list);
    greyWithField(caption, list);
    grid->addWidget(caption, row, column);
    grid->addWidget(list, row, column + 1);
    return list;
}

QCheckBox* ParameterDialog::checkField(QGridLayout* grid, int row, int column, const QString& text,
                                       const char* name) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(name));
    grid->addWidget(box, row, column, 1, 2);
    return box;
}

QString storedText(const std::string& value) {
    return QString::fromStdString(value);
}

std::string storedName(const QLineEdit* field) {
    return field->text().toStdString();
}

}  // namespace dravia
