#include "services/bank_file_dialog.h"

#include "widgets/picture_button.h"

#include <QLineEdit>
#include <QPushButton>

namespace services {

BankFileDialog::BankFileDialog(const QString& objectName, const QString& caption,
                               const QString& programFolder, widgets::Prompter& prompter,
                               QWidget* parent)
    : QDialog(parent)
    , prompter_(prompter) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(400, 200);
    auto* background = new widgets::PicturePanel(
        QStringLiteral("Image1"),
        widgets::loadPicture(programFolder, QStringLiteral("/tp/sjbf-bg.jpg")), this);
    background->setGeometry(0, 0, 400, 200);

    pathEdit_ = new QLineEdit(this);
    pathEdit_->setObjectName(QStringLiteral("pathEdit"));
    pathEdit_->setGeometry(92, 33, 259, 21);
    browseButton_ = new QPushButton(QStringLiteral("..."), this);
    browseButton_->setObjectName(QStringLiteral("browseButton"));
    browseButton_->setGeometry(355, 30, 23, 22);
    okButton_ = new QPushButton(QStringLiteral("确定"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(233, 175, 73, 23);
    okButton_->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(312, 174, 73, 23);

    connect(browseButton_, &QPushButton::clicked, this, [this] { browse(); });
    connect(okButton_, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace services
