#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <memory>
#include <vector>

#include "rules/exams.h"

// Starts one examinee station per registration, each a child process of this test program
// that runs ExamStation.DrawsAndHandsIn (test_stations.cpp) in the current folder: it draws
// the sample paper and hands it in for its registration.
inline std::vector<std::unique_ptr<QProcess>> StartStations(
    const std::vector<exams::Registration>& registrations, const QString& passMark) {
    std::vector<std::unique_ptr<QProcess>> stations;
    for (const auto& registration : registrations) {
        auto station = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("VEMO_TEST_SERVER_URL");  // the folder's settings name the test's database
        env.insert("VEMO_STATION_FOLDER", QDir::currentPath());
        env.insert("VEMO_STATION_REGISTRATION", QString::number(registration.id));
        env.insert("VEMO_STATION_PASS_MARK", passMark);
        station->setProcessEnvironment(env);
        station->setProcessChannelMode(QProcess::MergedChannels);
        station->start(QFileInfo("/proc/self/exe").canonicalFilePath(),
                       {"--gtest_filter=ExamStation.DrawsAndHandsIn"});
        stations.push_back(std::move(station));
    }
    return stations;
}
