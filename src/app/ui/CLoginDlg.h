#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/CORVENDoc.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"
#include "link/LoginResult.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace orven::ui {

// The log-in dialog. "ログイン" stores the fields in the record (saved and session fields,
// the saved ones cleared again unless remembered), checks them, then logs in through the
// given function; it closes with Accepted only when that succeeded, and shows why not
// otherwise.
class CLoginDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // Logs in with the session fields.
    using LoginFunction = std::function<LoginResult(
        const std::string& address, const std::string& user, const std::string& password)>;

    CLoginDlg(CORVENDoc& doc, LoginFunction login, QWidget* parent = nullptr);

    // The message for a failed log-in (no connection, refused, not a supported main unit),
    // also used after reconnecting; empty otherwise.
    static std::string_view resultText(LoginResult result);

  private:
    void fillFromRecord();
    void onLogin();
    void storeIntoRecord();
    std::optional<std::string_view> inputError() const;
    std::string addressText() const;
    void showError(std::string_view text);

    CORVENDoc& m_doc;
    LoginFunction m_login;
    QLineEdit* m_address;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QCheckBox* m_remember;
    QPushButton* m_loginButton;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
