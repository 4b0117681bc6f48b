#pragma once
// The hive files as the program has read them: each file is read and parsed
// once and kept, and read again only when it changed on disk (another
// program, or the user, wrote it), so a large settings file costs one parse
// per run however often values are asked for. Every CRegistry goes through
// it, so all of them see each other's writes.
//
// A hive file that exists but cannot be read or parsed the first time this
// run reads it is never written for the rest of the run, even when the user
// mends it meanwhile: every value the program holds from it is a default,
// and writing them would throw the user's own values away.

#include <cstddef>
#include <filesystem>

#include "settings/registry_store.h"

class HiveCache {
public:
    enum class Status {
        kOk,
        kUnreadable,  // the file exists but cannot be read
        kDamaged,     // the file is not in the store's format
    };
    enum class SaveStatus {
        kSaved,
        kBarred,     // the file could not be read when the run first read it
        kReadOnly,   // the user made the file read-only
        kFailed,     // it could not be written; the file on disk is as it was
    };

    // The hive's store, as its file now stands; an empty store with the
    // reason when the file cannot be read. Valid until the next call.
    static RegistryStore& Get(RegistryHive hive, Status& status);
    // Writes the store Get returned to its file. On failure the store is
    // forgotten, so the next Get reads the file as it is.
    static SaveStatus Save(RegistryHive hive);

    // How many times hive files were parsed in this process.
    static size_t ParseCount();
    // Forgets every file and every refusal, as a new run would (tests).
    static void Reset();
};
