#pragma once
// The link's plain structs as Qt meta types, declared once for every signal
// that carries them.

#include <QMetaType>

#include "kv_addr_tgm.h"
#include "kv_routes.h"

Q_DECLARE_METATYPE(KV_Addr_Tgm)
Q_DECLARE_METATYPE(KV_Routes::_route)
