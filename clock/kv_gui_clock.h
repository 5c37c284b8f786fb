#pragma once
// Makes the page factory build the clock and scene controls of this library.

void kv_register_clock_controls();
