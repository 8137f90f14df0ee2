#include "app/ui/CLoginDlg.h"

#include <algorithm>
#include <array>

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "app/ui/QtUi.h"
#include "link/MainUnitAccounts.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

constexpr int kFieldLength = 16;

// Up to four dotted fields of 0 to 255, each of them possibly still empty.
const QString kAddressPattern = QStringLiteral(
    R"(^((25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)?)(\.(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)?){0,3}$)");

// The address field's four octets; an empty field reads as 0, as in an IP address control.
std::array<int, 4> octets(const QString& text) {
    std::array<int, 4> values{};
    const QStringList parts = text.split(u'.');
    for (qsizetype i = 0; i < std::min<qsizetype>(parts.size(), 4); ++i) {
        values[static_cast<std::size_t>(i)] = std::clamp(parts[i].toInt(), 0, 255);
    }
    return values;
}

QString dotted(const std::array<int, 4>& values) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(values[0])
        .arg(values[1])
        .arg(values[2])
        .arg(values[3]);
}

// Characters whose low byte could start a two-byte character of the ANSI code page; the main
// unit takes user names and passwords only in single bytes.
bool hasLeadByteCharacter(const std::u16string& text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) {
        const int low = c & 0xFF;
        return (low >= 0x81 && low <= 0x9F) || (low >= 0xE0 && low <= 0xFC);
    });
}

}  // namespace

CLoginDlg::CLoginDlg(CORVENDoc& doc, LoginFunction login, QWidget* parent)
    : OrvenDialog(parent),
      m_doc(doc),
      m_login(std::move(login)),
      m_address(new QLineEdit(this)),
      m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this)),
      m_remember(new QCheckBox(qs(text::kLoginRemember), this)),
      m_loginButton(makeButton(text::kLoginButton, "loginButton", [this] { onLogin(); })),
      m_backupWatch(*this) {
    setObjectName("loginDialog");
    setWindowTitle(qs(text::kLoginTitle));
    m_address->setObjectName("addressEdit");
    m_address->setValidator(
        new QRegularExpressionValidator(QRegularExpression(kAddressPattern), m_address));
    m_user->setObjectName("userEdit");
    m_user->setMaxLength(kFieldLength);
    m_password->setObjectName("passwordEdit");
    m_password->setMaxLength(kFieldLength);
    m_password->setEchoMode(QLineEdit::Password);
    m_remember->setObjectName("rememberCheck");
    m_loginButton->setDefault(true);
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });

    auto* fields = new QFormLayout;
    fields->addRow(qs(text::kLoginAddressLabel), m_address);
    fields->addRow(qs(text::kLoginUserLabel), m_user);
    fields->addRow(qs(text::kLoginPasswordLabel), m_password);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_loginButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_remember);
    layout->addLayout(buttons);

    m_backupWatch.stop();
    fillFromRecord();
    m_backupWatch.start();
}

std::string_view CLoginDlg::resultText(LoginResult result) {
    switch (result) {
        case LoginResult::NoConnection:
            return text::kLoginNoConnection;
        case LoginResult::Refused:
            return text::kLoginRefused;
        case LoginResult::UnsupportedMainUnit:
            return text::kLoginUnsupportedMainUnit;
        case LoginResult::BadInput:
        case LoginResult::LoggedIn:
            break;
    }
    return {};
}

void CLoginDlg::fillFromRecord() {
    const QString saved = qs(m_doc.savedAddress.str());
    if (!saved.isEmpty()) {
        m_address->setText(dotted(octets(saved)));
    }
    m_user->setText(qs(m_doc.savedUser.str()).left(kFieldLength));
    m_password->setText(qs(m_doc.savedPassword.str()).left(kFieldLength));
    m_remember->setChecked(m_doc.rememberFlag == 1);
}

void CLoginDlg::onLogin() {
    m_backupWatch.stop();
    storeIntoRecord();
    if (const auto error = inputError()) {
        showError(*error);
        m_backupWatch.start();
        return;
    }
    const LoginResult result =
        m_login(m_doc.sessionAddress.str(), m_doc.sessionUser.str(), m_doc.sessionPassword.str());
    if (result == LoginResult::LoggedIn) {
        m_doc.loggedIn = 1;
        accept();
        return;
    }
    showError(resultText(result));
    m_backupWatch.start();
}

void CLoginDlg::storeIntoRecord() {
    const std::string address = addressText();
    const std::string user = utf8(m_user->text());
    const std::string password = utf8(m_password->text());
    m_doc.savedAddress = address;
    m_doc.savedUser = user;
    m_doc.savedPassword = password;
    m_doc.sessionAddress = address;
    m_doc.sessionUser = user;
    m_doc.sessionPassword = password;
    m_doc.rememberFlag = m_remember->isChecked() ? 1 : 0;
    if (m_doc.rememberFlag == 0) {
        m_doc.savedAddress.clear();
        m_doc.savedUser.clear();
        m_doc.savedPassword.clear();
    }
}

// In this order, so the user hears of the first problem only.
std::optional<std::string_view> CLoginDlg::inputError() const {
    if (m_doc.sessionAddress.empty()) {
        return text::kLoginEnterAddress;
    }
    if (m_doc.sessionUser.empty()) {
        return text::kLoginEnterUser;
    }
    if (m_doc.sessionPassword.empty()) {
        return text::kLoginEnterPassword;
    }
    if (hasLeadByteCharacter(m_doc.sessionUser.utf16()) ||
        !isMainUnitAccount(m_doc.sessionUser.str()) ||
        hasLeadByteCharacter(m_doc.sessionPassword.utf16())) {
        return text::kInputError;
    }
    return std::nullopt;
}

// The dotted address, or empty while every field is blank.
std::string CLoginDlg::addressText() const {
    const QString text = m_address->text();
    if (text.count(u'.') == text.size()) {
        return {};
    }
    return utf8(dotted(octets(text)));
}

void CLoginDlg::showError(std::string_view text) {
    if (!text.empty()) {
        QtUi::showMessageBox(this, std::string(text), std::string(text::kErrorTitle), Buttons::Ok,
                             Icon::Exclamation);
    }
}

}  // namespace orven::ui
