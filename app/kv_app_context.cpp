#include "kv_app_context.h"

KV_App_Context& kv_app()
{
    static KV_App_Context context;
    return context;
}
