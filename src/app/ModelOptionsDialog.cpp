#include "app/ModelOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>
#include <vector>

#include "app/HelpPages.h"
#include "input/ModelOptionsFile.h"

namespace dravia {

namespace {

// The explanation a person reads beside each option, at a width that keeps the dialog compact.
constexpr int WORDS_WIDTH_IN_CHARACTERS = 64;

QString capitalised(const char* words) {
    QString text = QString::fromUtf8(words);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

QString rangeText(const ModelOptionKind& kind) {
    return QStringLiteral("A whole number from %1 to %2.").arg(kind.smallest).arg(kind.largest);
}

}  // namespace

ModelOptionsDialog::ModelOptionsDialog(ModelState& model, QWidget* parent)
    : ParameterDialog(model, QStringLiteral("Model Options"), parent) {
    auto* layout = new QVBoxLayout(this);
    auto* introduction = new QLabel(
        QStringLiteral("Extensions of the classic model that later gap models use. With every option at "
                       "its classic value the model is the classic one, to the last random number."),
        this);
    introduction->setWordWrap(true);
    const int wordsWidth = fontMetrics().averageCharWidth() * WORDS_WIDTH_IN_CHARACTERS;
    introduction->setFixedWidth(wordsWidth);
    layout->addWidget(introduction);

    std::vector<FieldHelp> help;
    for (std::size_t i = 0; i < MODEL_OPTION_COUNT; ++i) {
        const ModelOptionKind& kind = MODEL_OPTION_KINDS[i];
        auto* group = new QGroupBox(capitalised(kind.name), this);
        auto* grid = new QGridLayout(group);
        auto* words =
            new QLabel(QString::fromUtf8(kind.words) + QStringLiteral(". ") + rangeText(kind), group);
        words->setWordWrap(true);
        words->setFixedWidth(wordsWidth);
        grid->addWidget(words, 0, 0, 1, 3);
        values_[i] = lineField(grid, 1, 0, QStringLiteral("Value:"), kind.key);
        values_[i]->setMinimumWidth(values_[i]->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                                    12);
        values_[i]->setMaximumWidth(values_[i]->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) +
                                    12);
        fromPreset_[i] =
            new QCheckBox(QStringLiteral("As the preset sets it (%1)").arg(presetValue(i)), group);
        fromPreset_[i]->setObjectName(QString::fromLatin1(kind.key) + QStringLiteral("_FROM_PRESET"));
        const QString presetHelp =
            QStringLiteral(
                "Follow the preset's model-options file, read again whenever a community is "
                "chosen (now %1). Unticked, the value entered here holds whatever preset is "
                "chosen later; the command line of the batch tool still overrides it.")
                .arg(presetValue(i));
        fromPreset_[i]->setToolTip(presetHelp);
        fromPreset_[i]->setWhatsThis(presetHelp);
        grid->addWidget(fromPreset_[i], 1, 2);
        grid->setColumnStretch(2, 1);
        layout->addWidget(group);

        explanations_[i] = std::string(kind.words) + ". " + rangeText(kind).toStdString();
        help.push_back({kind.key, explanations_[i].c_str()});

        const std::optional<int>& chosen = model_.optionSources.chosen[i];
        fromPreset_[i]->setChecked(!chosen);
        values_[i]->setText(QString::number(chosen ? *chosen : presetValue(i)));
        values_[i]->setEnabled(chosen.has_value());
        connect(fromPreset_[i], &QCheckBox::toggled, this,
                [this, i](bool follow) { followPreset(i, follow); });
    }

    addButtonRow(layout);
    QPushButton* classic =
        buttons()->addButton(QStringLiteral("&Classic Model"), QDialogButtonBox::ResetRole);
    classic->setObjectName(QStringLiteral("CLASSIC_MODEL"));
    classic->setToolTip(QStringLiteral("Every option at its classic value, whatever the preset sets."));
    connect(classic, &QPushButton::clicked, this, &ModelOptionsDialog::chooseClassicModel);
    buttons()->addButton(QDialogButtonBox::Help);
    connect(buttons(), &QDialogButtonBox::helpRequested, this,
            [this] { openHelpPage(QString::fromLatin1(HELP_PAGE), this); });
    explainFields(help);
}

int ModelOptionsDialog::presetValue(std::size_t option) const {
    ModelOptionSources presetOnly = model_.optionSources;
    presetOnly.chosen = {};
    return optionsInForce(presetOnly).*MODEL_OPTION_KINDS[option].field;
}

void ModelOptionsDialog::followPreset(std::size_t option, bool follow) {
    values_[option]->setEnabled(!follow);
    if (follow) values_[option]->setText(QString::number(presetValue(option)));
}

void ModelOptionsDialog::chooseClassicModel() {
    for (std::size_t i = 0; i < MODEL_OPTION_COUNT; ++i) {
        fromPreset_[i]->setChecked(false);
        values_[i]->setText(QString::number(MODEL_OPTION_KINDS[i].off));
    }
}

void ModelOptionsDialog::accept() {
    std::array<std::optional<int>, MODEL_OPTION_COUNT> chosen;
    FieldReader reader = fieldReader();
    for (std::size_t i = 0; i < MODEL_OPTION_COUNT; ++i) {
        if (fromPreset_[i]->isChecked()) continue;
        const ModelOptionKind& kind = MODEL_OPTION_KINDS[i];
        int value = kind.off;
        reader.integer(values_[i], value, IntegerRange{kind.smallest, kind.largest});
        chosen[i] = value;
    }
    if (!reader.passed()) return;
    model_.optionSources.chosen = chosen;
    applyModelOptions(model_);
    QDialog::accept();
}

}  // namespace dravia
