#pragma once
// The hive files as the program has read them: each file is read and parsed
// once and kept, and read again only when it changed on disk (another
// program, or the user, wrote it), so a large settings file costs one parse
// per run however often values are asked for. Every CRegistry goes through
// it, so all of them see each other's writes.
//
// A file counts as changed when its inode, size, modification time or
// change time differ from the file that was read, whatever its age: a file
// dated in the future is read once like any other. The file that was read
// is held open while it is cached, so its inode number cannot pass to a
// file put in its place: every save by rename is seen. Only an edit in
// place that keeps the size, made within the file system's clock tick of
// the read, could go unseen.
//
// Several runs share the files. A change is made under the hive's Lock,
// held from the re-read to the rename, so a save never drops a value that
// another run saved meanwhile. The lock is flock on "<hive file>.lock"
// beside the hive file (the hive file itself is replaced at every save);
// when the hive file is a symbolic link, beside the file the link leads to,
// so every run that reaches that file, through whichever link, takes the
// same lock. A lock held by another run is waited on for a bounded time,
// then the change fails. The changes themselves are made by CRegistry: a
// value alone, or several as one change (CRegistry::Batch) under one lock.
//
// A hive file that exists but cannot be read or parsed the first time this
// run reads it is never written for the rest of the run, even when the user
// mends it meanwhile: every value the program holds from it is a default,
// and writing them would throw the user's own values away.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>

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
        kReadOnly,   // the user made the file read-only, or this run writes nothing
        kFailed,     // it could not be written (or no Lock is held); the file on disk is as it was
    };
    enum class LockStatus {
        kHeld,
        kBusy,      // another run held it for longer than the wait
        // Refused before anything is created in the folder:
        kBarred,    // the file could not be read when the run first read it
        kReadOnly,  // the user made the file read-only, or this run writes nothing
        kFailed,    // the folder or the lock file cannot be made
    };

    // The hive's lock, held for the object's life. Taking it creates the
    // configuration folder (mode 0700) and the lock file (mode 0600) when
    // they are missing. A Lock taken while this process holds the hive's
    // lock already shares it.
    class Lock {
    public:
        explicit Lock(RegistryHive hive);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        LockStatus status() const { return status_; }

    private:
        std::string key_;
        LockStatus status_ = LockStatus::kFailed;
    };

    // The hive's store, as its file now stands; an empty store with the
    // reason when the file cannot be read. Valid until the next call.
    static RegistryStore& Get(RegistryHive hive, Status& status);
    // Writes the store Get returned to its file; only under the hive's
    // Lock, taken before that Get. On failure the store is forgotten, so
    // the next Get reads the file as it is.
    static SaveStatus Save(RegistryHive hive);
    // Forgets the store Get returned, changed or not: a change given up
    // half made is never taken for what the file holds.
    static void Forget(RegistryHive hive);

    // For the rest of the process nothing is written into the configuration
    // folder, not even the folder itself: the unattended modes.
    static void WriteNothing();
    // How long a lock held by another run is waited on: 10 s, unless a
    // test sets another wait.
    static void SetLockWait(std::chrono::milliseconds wait);

    // How many times hive files were parsed in this process.
    static size_t ParseCount();
    // How many times a Lock found the lock held by another run and waited
    // for it in this process (once per Lock, however long it waited).
    static size_t LockWaitCount();
    // Forgets every file and every refusal, as a new run would (tests).
    static void Reset();
};
