#pragma once
#include <QWidget>
#include <cstdint>

#include "counterpart/OppositeSession.h"

class CEditDword;
class CEditInt;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

// The counterpart window's controls for one unit: the unit (combo box 1044), its use (1046), the
// sensor value (edit 1047, slider 1050, static 1052), the thermocouple value (edit 1048, slider
// 1051 in steps of 256, static 1053), jitter (1049) and failure rate (1054). Every change goes
// straight into the session's unit table; the statics show what the unit sends.
class COppositeUnitEditor : public QWidget {
    Q_OBJECT
public:
    explicit COppositeUnitEditor(COppositeSession& session, QWidget* parent = nullptr);

    int SelectedUnit() const;
    // Loads the unit's entry into the controls without writing anything back.
    void SelectUnit(int unit);
    void RefreshStatics();

    // The sensor value as a temperature, "%.2f℃".
    static QString SensorText(int32_t sensor);
    // The thermocouple temperature that the application decodes (type K, gain 1, offset 0), or
    // "*" beyond the table.
    static QString ThermocoupleText(int32_t sensor, int32_t count);

private:
    void Build();
    void ConnectControls();
    // Changes the selected unit's entry under the session's lock.
    template <typename F>
    void Write(F&& change);
    TOppositeUnit Entry() const;

    void SensorEdited();
    void ThermocoupleEdited();

    COppositeSession& m_session;
    QComboBox* m_unit = nullptr;
    QCheckBox* m_use = nullptr;
    CEditInt* m_sensor = nullptr;
    QSlider* m_sensorSlider = nullptr;
    QLabel* m_sensorText = nullptr;
    CEditInt* m_thermocouple = nullptr;
    QSlider* m_thermocoupleSlider = nullptr;
    QLabel* m_thermocoupleText = nullptr;
    CEditDword* m_jitter = nullptr;
    CEditDword* m_failureRate = nullptr;
    // While an entry is loaded the controls' handlers write nothing.
    bool m_loading = false;
};
