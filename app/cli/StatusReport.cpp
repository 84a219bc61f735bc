#include "cli/StatusReport.h"

#include "cli/ServeLock.h"
#include "directories/DirectorySettings.h"
#include "directories/SqliteDatabase.h"
#include "directories/SqliteStatement.h"
#include "gateway/GatewaySettings.h"
#include "net/TcpSocket.h"
#include "plugin/ClassRegistry.h"
#include "plugin/ControlError.h"
#include "plugin/PluginLibrary.h"
#include "plugin/PluginLocator.h"
#include "sending/CKestrel.h"
#include "sending/CPlover.h"
#include "settings/DataPaths.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"
#include "telephony/Telephony.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool isFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The folder a file would be made in ("." for a bare name).
std::string folderOf(const std::string& path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// A missing file is fine when it can be made at first use.
StatusReport::Item missingFile(StatusReport::Item item, bool firstRun)
{
    const std::string folder = folderOf(item.where);
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        const bool writable = ::access(folder.c_str(), W_OK) == 0;
        item.state = writable ? "missing" : "problem";
        item.detail = writable ? "not there yet; made at first use"
                               : "cannot be made: the folder " + folder + " is not writable";
    } else {
        item.state = firstRun ? "missing" : "problem";
        item.detail = firstRun ? "not there yet; the first run makes its folder"
                               : "cannot be made: the folder " + folder + " does not exist";
    }
    return item;
}

StatusReport::Item textFile(std::string name, std::string path, bool firstRun, bool append)
{
    StatusReport::Item item {std::move(name), std::move(path), "ok", "opens"};
    if (!isFile(item.where)) {
        return missingFile(std::move(item), firstRun);
    }
    std::fstream file(item.where,
                      append ? std::ios::in | std::ios::out | std::ios::app : std::ios::in);
    if (!file) {
        item.state = "problem";
        item.detail = std::string("does not open: ") + std::strerror(errno);
    }
    return item;
}

StatusReport::Item database(std::string name, std::string path, const char* probe, bool firstRun)
{
    StatusReport::Item item {std::move(name), std::move(path), "ok", "opens"};
    if (!isFile(item.where)) {
        return missingFile(std::move(item), firstRun);
    }
    SqliteDatabase db;
    SqliteStatement statement;
    if (!db.open(item.where, SqliteDatabase::Mode::ReadOnly) || !db.prepare(probe, statement)) {
        item.state = "problem";
        item.detail = "does not open as a database: " + db.lastErrorText();
    }
    statement.finalize();
    db.close();
    return item;
}

StatusReport::Item driver(std::string_view name, std::string_view classId)
{
    StatusReport::Item item {std::string(name), {}, "ok", "loads"};
    ClassRegistry registry;
    std::string path;
    if (!registry.libraryPath(classId, path)) {
        const std::string found = PluginLocator::find(name);
        item.where = found;
        if (found.empty()) {
            item.state = "problem";
            item.detail = "not registered, and lib" + std::string(name)
                + ".so is not beside the program: run norvane-cli regsvr "
                + PluginLocator::installedPath(name);
        } else {
            item.state = "missing";
            item.detail = "not registered yet; the first send registers the file beside the "
                          "program";
        }
        return item;
    }
    item.where = path;
    ControlError error = ControlError::None;
    std::string why;
    if (!PluginLibrary::open(path, error, why)) {
        item.state = "problem";
        item.detail = "does not load: " + why;
    }
    return item;
}

// The key when it exists; else a closed key, whose reads give the defaults. Opening a key
// creates it, and status changes nothing.
SettingsKey existingKey(const std::shared_ptr<SettingsStore>& store, std::string_view path)
{
    const std::string name
        = SettingsStore::normalizeKeyName("HKEY_CURRENT_USER\\" + std::string(path));
    if (!store->keyExists(name)) {
        return {};
    }
    return SettingsKey(store, RootKey::CurrentUser, path);
}

} // namespace

StatusReport StatusReport::gather()
{
    StatusReport report;
    const std::string storePath = SettingsStore::defaultPath();
    report.store = {"settings store", storePath, "ok", "reads"};
    const auto store = SettingsStore::current();
    if (!isFile(storePath)) {
        report.store = missingFile(report.store, true);
    } else if (std::ifstream probe(storePath); !probe) {
        report.store.state = "problem";
        report.store.detail = std::string("does not open: ") + std::strerror(errno);
    } else if (!store->keyExists("HKEY_CURRENT_USER") && !SettingsStore::lastErrorText().empty()) {
        report.store.state = "problem";
        report.store.detail = SettingsStore::lastErrorText();
    }

    // Read as the programs would, but without writing a first run's home.
    const SettingsKey paths = existingKey(store, SharedSettings::Paths::key);
    const bool firstRun = !paths.hasValue(SharedSettings::Paths::home.name);
    const std::string home
        = firstRun ? DataPaths::defaultHome() : paths.read(SharedSettings::Paths::home);
    report.home = {"home", home, "ok", "the data files are in its data folder"};
    if (firstRun) {
        report.home.state = "missing";
        report.home.detail = "not set yet; the first program that needs it sets it to this";
    } else if (home.empty()) {
        report.home.detail = "empty: the data files go by their bare names, in the working folder";
    } else if (std::error_code error; !fs::is_directory(home, error)) {
        report.home.state = "problem";
        report.home.detail = "the folder does not exist";
    }
    const auto pathOf = [&](const StringSetting& own, std::string_view fileName) {
        const std::string path = paths.read(own);
        if (!path.empty()) {
            return path;
        }
        return home.empty() ? std::string(fileName) : DataPaths::inHome(home, fileName);
    };
    report.files.push_back(
        textFile("log", pathOf(SharedSettings::Paths::logFile, "ndlog.dat"), firstRun, true));
    report.files.push_back(
        textFile("history", pathOf(SharedSettings::Paths::msgDbs, StoreSettings::historyFile),
                 firstRun, false));
    report.files.push_back(
        textFile("saved messages",
                 pathOf(SharedSettings::Paths::canMsgDbs, StoreSettings::savedMessagesFile),
                 firstRun, false));
    report.files.push_back(
        database("provider database",
                 pathOf(SharedSettings::Paths::pspDbs, DirectorySettings::providerFileName),
                 "SELECT Name, Phone FROM pspTable LIMIT 0", firstRun));
    report.files.push_back(
        database("simple address book",
                 pathOf(SharedSettings::Paths::simpleAdb, DirectorySettings::simpleBookFileName),
                 "SELECT * FROM adbTable LIMIT 0", firstRun));

    report.drivers.push_back(driver(CKestrel::pluginName, CKestrel::controlClassId));
    report.drivers.push_back(driver(CPlover::pluginName, CPlover::controlClassId));

    const Telephony telephony;
    for (int device = 0; device < telephony.deviceCount(); ++device) {
        const auto number = static_cast<std::uint32_t>(device);
        LineDeviceInfo info;
        if (telephony.enumerate(number, info)) {
            report.lines.push_back(
                {std::to_string(device) + " " + info.name, info.kind + " " + info.target,
                 info.supportsData ? "ok" : "off",
                 info.supportsData ? "can make data calls" : "cannot make data calls now"});
        } else {
            report.lines.push_back({std::to_string(device) + " Unknown device", "", "problem",
                                    telephony.problem(number)});
        }
    }

    const SettingsKey gateway = existingKey(store, GatewaySettings::SnppSrv::key);
    report.gatewayEnabled = gateway.read(GatewaySettings::SnppSrv::enabled);
    report.gatewayPort = gateway.read(GatewaySettings::SnppSrv::port);
    report.fromAdbOnly = gateway.read(GatewaySettings::SnppSrv::fromAdbOnly);
    report.level2Login = gateway.read(GatewaySettings::SnppSrv::level2Login);
    const SettingsKey hosts = existingKey(store, GatewaySettings::Hosts::key);
    std::string name;
    std::string data;
    for (int index = 0; index < 100 && hosts.enumValue(index, name, data); ++index) {
        Host host {name, {}};
        if (!name.empty() && name.front() == '*') {
            // As the gateway reads them: "*" allows every host and ends the list.
            report.hosts.push_back({name, "*"});
            break;
        } else {
            (void)TcpSocket::resolveHost(name, host.address);
        }
        report.hosts.push_back(std::move(host));
    }

    report.servePid = ServeLock::holder(storePath);
    return report;
}

int StatusReport::problemCount() const
{
    int count = 0;
    for (const Item* item : {&store, &home}) {
        count += item->state == "problem";
    }
    for (const auto* list : {&files, &drivers}) {
        for (const Item& item : *list) {
            count += item.state == "problem";
        }
    }
    if (gatewayEnabled) {
        for (const Host& host : hosts) {
            count += host.address.empty();
        }
    }
    return count;
}
