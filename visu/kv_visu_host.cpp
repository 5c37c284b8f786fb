#include "kv_visu_host.h"

#include "kv_gui_value_dispatch.h"

KV_Visu_Host::KV_Visu_Host()
    : m_dispatch(std::make_unique<CKV_Gui_Value_Dispatch>(*this))
{
}

KV_Visu_Host::~KV_Visu_Host() = default;
