#pragma once
// The languages a visualisation can be translated into: ISO 639-1 code,
// German name and native name, each followed by ";".

#include <QString>

// The table entry of a two-letter code ("de;Deutsch;Deutsch;"), or "00;00;00"
// for a code that is not in the table.
QString kv_language_lookup(const QString& code);
