// A publisher in a process of its own, for the tests that need one to die without a goodbye:
// publish_probe URL SPILL_FOLDER. Sets the state "measuring", publishes one record, says "ready" on
// stdout once the broker has it, then waits to be killed (at most a minute).
#include <chrono>
#include <cstdio>
#include <thread>

#include "publish/MqttPublisher.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    TMqttSettings settings;
    settings.url = argv[1];
    TMqttConnection connection;
    std::string error;
    if (!TMqttConnection::Resolve(settings, connection, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    CMqttPublisher publisher(connection, "publish_probe", 5);
    publisher.SetLog([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    publisher.SetSpillFolder(argv[2]);
    publisher.Start();
    publisher.SetRunState(ERunState::kMeasuring);
    TPublishRecord record;
    record.number = 1;
    record.timeMs = 1709296496000;
    record.rateMs = 1000;
    record.SetReading(1, 215);
    record.SetReading(2, kReadingLost);
    publisher.Publish(record);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    bool ready = false;
    while (std::chrono::steady_clock::now() < deadline) {
        const TMqttStatus status = publisher.Status();
        if (!ready && status.state == TMqttStatus::EState::kConnected && status.delivered == 1) {
            std::printf("ready\n");
            std::fflush(stdout);
            ready = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ready ? 0 : 1;
}
