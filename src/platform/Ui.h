#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace orven {

// How long jobs talk to the user. The GUI implements it; tests script it. All texts are UTF-8.

// Values are the Windows system icon ids, which the stored settings and logs use.
enum class Icon {
    None = 0,
    Application = 32512,
    Error = 32513,
    Question = 32514,
    Exclamation = 32515,
    Information = 32516
};

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

// The message box answers, with the platform's codes.
enum DialogResult { IdOk = 1, IdCancel = 2, IdRetry = 4, IdYes = 6, IdNo = 7 };

// The product's own box: up to three buttons whose texts come from a fixed set.
struct CustomBox {
    // Answers are the buttons' control ids, or Closed when the box was closed without one.
    enum Result { First = 1222, Second = 1209, Third = 1208, Closed = 2 };
    static constexpr int kButtonSetCount = 8;

    // Texts of the First, Second and Third buttons; empty means the button is hidden.
    struct ButtonTexts {
        std::string_view first, second, third;
    };
    // All hidden for a set out of range.
    static ButtonTexts buttonTexts(int buttonSet);

    std::string title;
    std::string text;
    Icon icon = Icon::None;
    int buttonSet = 0;  // 0 .. kButtonSetCount - 1
    bool closable = true;
};

class Progress {
  public:
    virtual ~Progress();

    // Values outside 0..100 are clamped (see clampPercent).
    virtual void setPercent(int percent) = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setCounter(int done, int total) = 0;
    virtual void close() = 0;

    static int clampPercent(int percent);
};

class Ui {
  public:
    virtual ~Ui();

    // Keeps the window responsive during long work; cheap enough to call in every loop.
    virtual void pump() = 0;

    // Returns a DialogResult.
    virtual int messageBox(const std::string& text, const std::string& title, Buttons buttons,
                           Icon icon) = 0;

    // Returns a CustomBox::Result.
    virtual int customBox(const CustomBox& box) = 0;

    // The dialog's Cancel button stores 1 in cancelFlag; a null flag means no Cancel button.
    // The flag must outlive the dialog.
    virtual std::unique_ptr<Progress> openProgress(const std::string& title,
                                                   const std::string& text,
                                                   std::atomic<int>* cancelFlag) = 0;
};

}  // namespace orven
