#include "support/EditedSettingsFile.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// The readers are plain functions: they reach the one file alive.
EditedSettingsFile* current = nullptr;

// A file system that keeps last-write times in 100 ns units and advances them
// by its clock's tick, 10 ms, between two saves.
constexpr std::uint64_t kTick = 100'000;
// One clock for every file of the process: it never goes back, so no two
// saves of one test, nor of two files in turn, share a stamp.
std::uint64_t fileSystemTime = 133'000'000'000'000'000ULL;

std::uint64_t TextLength(const EditedSettingsFile::Values& values)
{
    std::uint64_t length = std::string("[Settings]\r\n").size();
    for (const auto& [key, value] : values) {
        length += key.size() + 1 + value.size() + 2;
    }
    return length;
}

}  // namespace

EditedSettingsFile::EditedSettingsFile(Values values)
    : previousReader_(SettingsFileReader), previousFileSystem_(settingsFileSystem)
{
    current = this;
    fileSystemTime += kTick;
    stamp_.creationTime = fileSystemTime;
    Write(std::move(values));
    SettingsFileReader = &Read;
    settingsFileSystem = {&Stamp, &Opens};
}

EditedSettingsFile::~EditedSettingsFile()
{
    SettingsFileReader = previousReader_;
    settingsFileSystem = previousFileSystem_;
    current = nullptr;
}

void EditedSettingsFile::Write(Values values)
{
    values_ = std::move(values);
    present_ = true;
    stamp_.present = true;
    stamp_.lastWriteTime = fileSystemTime;
    stamp_.size = TextLength(values_);
}

void EditedSettingsFile::Save(Values values)
{
    fileSystemTime += kTick;
    Write(std::move(values));
}

void EditedSettingsFile::Empty()
{
    Save({});
    stamp_.size = 0;
}

void EditedSettingsFile::SaveAsNewFile(Values values)
{
    fileSystemTime += kTick;
    stamp_.creationTime = fileSystemTime;
    Write(std::move(values));
}

void EditedSettingsFile::Remove()
{
    present_ = false;
    values_.clear();
}

void EditedSettingsFile::SetHeldByEditor(bool held)
{
    held_ = held;
}

void EditedSettingsFile::WhenReading(std::string key, std::function<void(EditedSettingsFile&)> save)
{
    readingKey_ = std::move(key);
    duringReading_ = std::move(save);
}

std::string EditedSettingsFile::Read(std::string fileName, std::string section, std::string key)
{
    if (fileName != "LumenveilHUD" || section != "Settings") {
        ADD_FAILURE() << "the settings were read from " << fileName << ".ini [" << section << "]";
        return {};
    }
    EditedSettingsFile& file = *current;
    if (key == "bLogging") {
        ++file.readings_;  // the first key of every reading
    }
    if (key == file.readingKey_ && file.duringReading_) {
        auto save = std::exchange(file.duringReading_, nullptr);
        save(file);
    }
    if (!file.present_ || file.held_) {
        return {};
    }
    const auto found = file.values_.find(key);
    return found == file.values_.end() ? std::string() : found->second;
}

SettingsFileStamp EditedSettingsFile::Stamp()
{
    EditedSettingsFile& file = *current;
    ++file.looks_;
    return file.present_ ? file.stamp_ : SettingsFileStamp{};
}

bool EditedSettingsFile::Opens()
{
    return current->present_ && !current->held_;
}
