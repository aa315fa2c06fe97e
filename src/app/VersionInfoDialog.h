#pragma once

#include <QDialog>

namespace dravia {

// The version box: shown once as the opening box at start-up and from Help > Version Info.
class VersionInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit VersionInfoDialog(QWidget* parent = nullptr);
};

}  // namespace dravia
