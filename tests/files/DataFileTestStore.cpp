#include "DataFileTestStore.h"

#include "data/MeasurementSetup.h"

namespace data_file_test {

void FillSampleStore(CMeasurementDataManager& store) {
    TMeasurementSetup setup;
    setup.systemNumber = 12;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetInUse(1, true);
    setup.pollingSetting.SetInUse(3, true);
    setup.thermocoupleType[2] = 2;
    setup.thermocoupleType[3] = 3;
    setup.comment[1] = "炉 入口";
    setup.comment[2] = "spare";
    setup.comment[3] = "outlet";
    setup.temperatureUnit = kTemperatureUnitFahrenheit;
    store.Reset(setup);
    store.SetStartTime({2014, 9, 0, 22, 10, 20, 30, 437});
    const int16_t channel1[] = {kReadingLost, kReadingLost, 253, kReadingLost, -15, 0};
    const int16_t channel3[] = {kReadingLost, kReadingLost, 1200, kReadingOutOfRange, 12999, -2000};
    for (uint32_t i = 0; i < 6; ++i) {
        CMeasurementDataManager::SetReading(store.Channel(1), i, channel1[i]);
        CMeasurementDataManager::SetReading(store.Channel(3), i, channel3[i]);
    }
    store.SetRecordCount(6);
    store.SetAdjustedChannels({3});
    store.SetState(CMeasurementDataManager::kStateHolding);
}

const char* const kSampleFile =
    "Brisquent,1.01\r\n"
    "SYSTEM NUMBER,12\r\n"
    "SAMPLING RATE,1sec\r\n"
    "TEMPERATURE UNIT,deg F\r\n"
    "TIME/DIV,10sec\r\n"
    "TEMP/DIV,10deg F\r\n"
    "DATA COUNT,4\r\n"
    "TIME OFFSET,00:01:00,00\r\n"
    "TEMP OFFSET,70\r\n"
    ",,TYPE,K,T,J\r\n"
    ",,ON/OFF,ON,OFF,ON\r\n"
    ",,ADJUST OFFSET,,,*\r\n"
    "No.,DATE  TIME,msec,CH1,CH2,CH3\r\n"
    "USER COMMENT,,,炉 入口,spare,outlet\r\n"
    "1,2014/09/22 10:20:32,0,25.3,,120.0\r\n"
    "2,2014/09/22 10:20:33,0,Lost,,Out Of Range\r\n"
    "3,2014/09/22 10:20:34,0,-1.5,,1299.9\r\n"
    "4,2014/09/22 10:20:35,0,0.0,,-200.0\r\n";

}  // namespace data_file_test
