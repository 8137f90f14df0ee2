#include "app/ui/CVolumeDlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "app/ui/QtUi.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

constexpr int kMaxLevel = 100;
// The number field takes three digits so that "150" can be typed and then clamped; a spin
// box limited to 100 would refuse the last digit and leave 15.
constexpr int kTypedMax = 999;

}  // namespace

CVolumeDlg::CVolumeDlg(CORVENDoc& doc, VolumeControl& volume, QWidget* parent)
    : OrvenDialog(parent),
      m_doc(doc),
      m_volume(volume),
      m_off(new QRadioButton(qs(text::kVolumeOff), this)),
      m_on(new QRadioButton(qs(text::kVolumeOn), this)),
      m_slider(new QSlider(Qt::Horizontal, this)),
      m_spin(new QSpinBox(this)),
      m_mute(new QCheckBox(qs(text::kVolumeMute), this)),
      m_backupWatch(*this) {
    setObjectName("volumeDialog");
    setWindowTitle(qs(text::kVolumeTitle));
    m_off->setObjectName("volumeOffRadio");
    m_on->setObjectName("volumeOnRadio");
    m_slider->setObjectName("volumeSlider");
    m_slider->setRange(0, kMaxLevel);
    m_slider->setSingleStep(10);  // arrow keys move by ten as well, like the page keys
    m_slider->setPageStep(10);
    m_slider->setTickInterval(10);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_spin->setObjectName("volumeSpin");
    m_spin->setRange(0, kTypedMax);
    m_mute->setObjectName("muteCheck");
    buildLayout();

    connect(m_on, &QRadioButton::toggled, this, &CVolumeDlg::updateEnabled);
    connect(m_slider, &QSlider::valueChanged, m_spin, &QSpinBox::setValue);
    connect(m_spin, &QSpinBox::valueChanged, this, &CVolumeDlg::onLevelTyped);
    fillFromRecord();
}

void CVolumeDlg::buildLayout() {
    auto* ok = makeButton(text::kButtonOk, "okButton", [this] { onOk(); });
    ok->setDefault(true);
    auto* cancel = makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); });

    auto* note = new QLabel(qs(text::kVolumeNote), this);
    note->setObjectName("noteLabel");
    note->setTextFormat(Qt::PlainText);

    auto* level = new QHBoxLayout;
    level->addWidget(m_slider, 1);
    level->addWidget(m_spin);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_off);
    layout->addWidget(m_on);
    layout->addLayout(level);
    layout->addWidget(m_mute);
    layout->addWidget(note);
    layout->addLayout(buttons);
}

void CVolumeDlg::fillFromRecord() {
    (m_doc.volumeSwitch == 1 ? m_on : m_off)->setChecked(true);
    m_spin->setValue(std::clamp(m_doc.volumeSetting, 0, kMaxLevel));
    m_mute->setChecked(m_doc.muteSetting != 0);
    updateEnabled();
}

void CVolumeDlg::updateEnabled() {
    const bool adjust = m_on->isChecked();
    m_slider->setEnabled(adjust);
    m_spin->setEnabled(adjust);
    m_mute->setEnabled(adjust);
}

void CVolumeDlg::onLevelTyped(int value) {
    if (value > kMaxLevel) {
        m_spin->setValue(kMaxLevel);  // comes back here with the clamped value
        return;
    }
    m_slider->setValue(value);
}

void CVolumeDlg::onOk() {
    m_backupWatch.stop();
    if (!m_volume.change(m_doc, m_on->isChecked(), m_spin->value(), m_mute->isChecked())) {
        QtUi::showMessageBox(this, std::string(text::kVolumeCannotSet),
                             std::string(text::kErrorTitle), Buttons::Ok, Icon::Exclamation);
        m_backupWatch.start();
        return;
    }
    accept();
}

}  // namespace orven::ui
