#include "kv_gui_clock.h"

#include "kv_gui_factory.h"

void kv_register_clock_controls()
{
}
