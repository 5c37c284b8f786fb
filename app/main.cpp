#include "kv_start.h"

int main(int argc, char** argv)
{
    return kv_start(argc, argv);
}
