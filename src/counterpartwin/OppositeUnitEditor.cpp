#include "counterpartwin/OppositeUnitEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <cstdio>

#include "counterpartwin/OppositeRanges.h"
#include "data/Thermocouple.h"
#include "display/EditDword.h"
#include "display/EditInt.h"

namespace {

using TRanges = TOppositeRanges;

QString Celsius(double celsius) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", celsius);
    return QString::fromLatin1(text) + QStringLiteral("℃");
}

template <typename T>
T* Named(T* control, int id) {
    control->setObjectName(QString::number(id));
    return control;
}

QSlider* Slider(int id, int minimum, int maximum) {
    auto* slider = Named(new QSlider(Qt::Horizontal), id);
    slider->setRange(minimum, maximum);
    slider->setMinimumWidth(200);
    return slider;
}

}  // namespace

COppositeUnitEditor::COppositeUnitEditor(COppositeSession& session, QWidget* parent)
    : QWidget(parent), m_session(session) {
    Build();
    ConnectControls();
}

QString COppositeUnitEditor::SensorText(int32_t sensor) {
    return Celsius(sensor / 32.0);
}

QString COppositeUnitEditor::ThermocoupleText(int32_t sensor, int32_t count) {
    double celsius = 0;
    if (!ThermocoupleToTemperature(kThermocoupleK, sensor / 32.0, count, 0, 1.0, celsius))
        return QStringLiteral("*");
    return Celsius(celsius);
}

void COppositeUnitEditor::Build() {
    m_unit = Named(new QComboBox, 1044);
    for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit) m_unit->addItem(QString::number(unit));
    m_use = Named(new QCheckBox(QStringLiteral("使用する")), 1046);

    m_sensor = Named(new CEditInt, 1047);
    m_sensor->SetRange(TRanges::kSensorMin, TRanges::kSensorMax);
    m_sensorSlider = Slider(1050, TRanges::kSensorMin, TRanges::kSensorMax);
    m_sensorText = Named(new QLabel, 1052);

    m_thermocouple = Named(new CEditInt, 1048);
    m_thermocouple->SetRange(TRanges::kThermoMin, TRanges::kThermoMax);
    m_thermocoupleSlider = Slider(1051, TRanges::kThermoMin / TRanges::kThermoSliderStep,
                                  TRanges::kThermoMax / TRanges::kThermoSliderStep);
    m_thermocoupleText = Named(new QLabel, 1053);

    m_jitter = Named(new CEditDword, 1049);
    m_jitter->SetRange(0, TRanges::kJitterMax);
    m_failureRate = Named(new CEditDword, 1054);
    m_failureRate->SetRange(0, TRanges::kFailureRateMax);

    for (QLabel* text : {m_sensorText, m_thermocoupleText}) text->setMinimumWidth(80);
    for (CEditNumber* edit :
         std::initializer_list<CEditNumber*>{m_sensor, m_thermocouple, m_jitter, m_failureRate})
        edit->setFixedWidth(110);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("ユニット")), 0, 0);
    grid->addWidget(m_unit, 0, 1);
    grid->addWidget(m_use, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("センサ")), 1, 0);
    grid->addWidget(m_sensor, 1, 1);
    grid->addWidget(m_sensorSlider, 1, 2);
    grid->addWidget(m_sensorText, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("熱電対")), 2, 0);
    grid->addWidget(m_thermocouple, 2, 1);
    grid->addWidget(m_thermocoupleSlider, 2, 2);
    grid->addWidget(m_thermocoupleText, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("ブレ")), 3, 0);
    grid->addWidget(m_jitter, 3, 1);
    auto* failure = new QHBoxLayout;
    failure->addWidget(new QLabel(QStringLiteral("失敗率")));
    failure->addWidget(m_failureRate);
    failure->addWidget(new QLabel(QStringLiteral("%")));
    failure->addStretch();
    grid->addLayout(failure, 3, 2, 1, 2);
}

void COppositeUnitEditor::ConnectControls() {
    connect(m_unit, &QComboBox::currentIndexChanged, this, [this](int index) { SelectUnit(index + 1); });
    connect(m_use, &QCheckBox::toggled, this,
            [this](bool on) { Write([on](TOppositeUnit& unit) { unit.use = on; }); });
    connect(m_sensor, &QLineEdit::textChanged, this, &COppositeUnitEditor::SensorEdited);
    connect(m_thermocouple, &QLineEdit::textChanged, this, &COppositeUnitEditor::ThermocoupleEdited);
    connect(m_sensorSlider, &QSlider::valueChanged, this, [this](int position) {
        if (!m_loading)
            m_sensor->SetValue(position);
    });
    connect(m_thermocoupleSlider, &QSlider::valueChanged, this, [this](int position) {
        if (!m_loading)
            m_thermocouple->SetValue(position * TRanges::kThermoSliderStep);
    });
    connect(m_jitter, &QLineEdit::textChanged, this, [this] {
        if (const std::optional<uint32_t> jitter = m_jitter->Value())
            Write([&](TOppositeUnit& unit) { unit.jitter = static_cast<int32_t>(*jitter); });
    });
    connect(m_failureRate, &QLineEdit::textChanged, this, [this] {
        if (const std::optional<uint32_t> rate = m_failureRate->Value())
            Write([&](TOppositeUnit& unit) { unit.failureRate = static_cast<int32_t>(*rate); });
    });
}

int COppositeUnitEditor::SelectedUnit() const {
    return m_unit->currentIndex() + 1;
}

TOppositeUnit COppositeUnitEditor::Entry() const {
    const int unit = SelectedUnit();
    return m_session.WithEngine([unit](COppositeEngine& engine) { return engine.Units().Unit(unit); });
}

template <typename F>
void COppositeUnitEditor::Write(F&& change) {
    if (m_loading)
        return;
    const int unit = SelectedUnit();
    m_session.WithEngine([&](COppositeEngine& engine) { change(engine.Units().Unit(unit)); });
}

void COppositeUnitEditor::SelectUnit(int unit) {
    if (!COppositeUnitTable::IsUnit(unit))
        return;
    m_loading = true;
    if (m_unit->currentIndex() != unit - 1)
        m_unit->setCurrentIndex(unit - 1);
    const TOppositeUnit entry = Entry();
    m_use->setChecked(entry.use);
    m_sensor->SetValue(entry.sensor);
    m_sensorSlider->setValue(entry.sensor);
    m_thermocouple->SetValue(entry.thermocouple);
    m_thermocoupleSlider->setValue(entry.thermocouple / TRanges::kThermoSliderStep);
    m_jitter->SetValue(static_cast<uint32_t>(entry.jitter));
    m_failureRate->SetValue(static_cast<uint32_t>(entry.failureRate));
    m_loading = false;
    RefreshStatics();
}

void COppositeUnitEditor::SensorEdited() {
    const std::optional<int32_t> sensor = m_sensor->Value();
    if (m_loading || !sensor)
        return;
    Write([&](TOppositeUnit& unit) { unit.sensor = *sensor; });
    const QSignalBlocker quiet(m_sensorSlider);
    m_sensorSlider->setValue(*sensor);
    RefreshStatics();
}

void COppositeUnitEditor::ThermocoupleEdited() {
    const std::optional<int32_t> count = m_thermocouple->Value();
    if (m_loading || !count)
        return;
    Write([&](TOppositeUnit& unit) { unit.thermocouple = *count; });
    const QSignalBlocker quiet(m_thermocoupleSlider);
    m_thermocoupleSlider->setValue(*count / TRanges::kThermoSliderStep);
    RefreshStatics();
}

void COppositeUnitEditor::RefreshStatics() {
    const TOppositeUnit entry = Entry();
    m_sensorText->setText(SensorText(entry.sensor));
    m_thermocoupleText->setText(ThermocoupleText(entry.sensor, entry.thermocouple));
}
