#pragma once
// Makes the page factory build the tile classes of this library.

void kv_register_tile_controls();
