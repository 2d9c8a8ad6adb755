#pragma once
// The saving side of the kill trials: two documents the program could save in turn, and a
// loop that saves them into a folder, alternately, until the process is killed.

#include <nlohmann/json.hpp>

#include <QString>

// A fresh document, and one with many profiles, so that its save takes long enough to be
// interrupted in the middle.
nlohmann::json smallDocument();
nlohmann::json largeDocument();

// Saves the two documents into folder/config.json in turn, for ever. Writes "ready" on
// standard output after the first save. Returns 1 only when a save fails.
int runSaveLoop(const QString &folder);
