#pragma once

// Helpers for driving the parameter dialogs without a screen.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/ParameterDialog.h"
#include "display/TestForest.h"
#include "input/StartupLoad.h"
#include "support/ScriptedHost.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia::test {

template <typename Widget>
Widget* field(QWidget& dialog, const char* name) {
    auto* found = dialog.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline QLineEdit* line(QWidget& dialog, const char* name) {
    return field<QLineEdit>(dialog, name);
}

inline void setText(QWidget& dialog, const char* name, const QString& text) {
    line(dialog, name)->setText(text);
}

inline std::string text(QWidget& dialog, const char* name) {
    return line(dialog, name)->text().toStdString();
}

inline void pressOk(ParameterDialog& dialog) {
    dialog.buttons()->button(QDialogButtonBox::Ok)->click();
}
inline void pressCancel(ParameterDialog& dialog) {
    dialog.buttons()->button(QDialogButtonBox::Cancel)->click();
}

inline bool accepted(const QDialog& dialog) {
    return dialog.result() == QDialog::Accepted;
}

inline std::vector<std::string> labelTexts(QWidget& dialog) {
    std::vector<std::string> texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) texts.push_back(label->text().toStdString());
    return texts;
}

inline std::vector<std::string> groupTitles(QWidget& dialog) {
    std::vector<std::string> titles;
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) titles.push_back(group->title().toStdString());
    return titles;
}

inline std::vector<std::string> listEntries(QComboBox* list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list->count(); ++i) entries.push_back(list->itemText(i).toStdString());
    return entries;
}

inline bool contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The last message the dialog showed, and how many.
inline std::string lastMessage(const ScriptedHost& host) {
    return host.lastMessage();
}

// Shows the dialog, lets it lay itself out and saves a picture of it for a person to look at.
inline void saveArtefact(QWidget& dialog, const QString& name) {
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.grab().save(artefactPath(name)));
}

// Runs `action`, which opens a modal box, and hands the box to `inspect` before closing it
// (unless `inspect` closed it).
inline void withNextModal(const std::function<void()>& action, const std::function<void(QWidget*)>& inspect) {
    bool seen = false;
    std::function<void()> poll;
    poll = [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = true;
            inspect(modal);
            // A box the inspection answered itself keeps its answer.
            if (!modal->isVisible()) return;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(0);
            else
                modal->close();
            return;
        }
        QTimer::singleShot(10, poll);
    };
    QTimer::singleShot(0, poll);
    action();
    EXPECT_TRUE(seen);
}

// The small data set loaded as at start-up, in a scratch directory.
class LoadedModel : public ::testing::Test {
  protected:
    void SetUp() override {
        writeSmallDataSet(directory.path());
        model.host = &host;
        loadAtStartup(model);
        host.messages.clear();
    }
    TempDirectory directory;
    ModelState model;
    ScriptedHost host;
};

}  // namespace dravia::test
