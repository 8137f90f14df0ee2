#pragma once

#include "app/CORVENDoc.h"
#include "app/VolumeControl.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/OrvenDialog.h"

class QCheckBox;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace orven::ui {

// The PC volume setting: adjust or not, the level (slider and number kept equal, a typed
// value clamped to 0..100) and mute. OK applies through the volume control and closes; when
// the sound device cannot be opened it tells so and stays open with nothing changed.
class CVolumeDlg : public OrvenDialog {
    Q_OBJECT

  public:
    // doc and volume must outlive the dialog.
    CVolumeDlg(CORVENDoc& doc, VolumeControl& volume, QWidget* parent = nullptr);

  private:
    void buildLayout();
    void fillFromRecord();
    void updateEnabled();
    void onLevelTyped(int value);
    void onOk();

    CORVENDoc& m_doc;
    VolumeControl& m_volume;
    QRadioButton* m_off;
    QRadioButton* m_on;
    QSlider* m_slider;
    QSpinBox* m_spin;
    QCheckBox* m_mute;
    DialogBackupWatch m_backupWatch;
};

}  // namespace orven::ui
