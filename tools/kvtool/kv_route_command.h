#pragma once

// kvtool route FILE.kvp NAME HOST[:PORT] [USER [PASSWORD]]
// Adds or updates a direct route and makes it the active one, so that a panel
// started on this project file connects to that controller by itself.
int kv_route_command(int argc, char** argv);
