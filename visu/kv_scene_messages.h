#pragma once
// The messages by which the app starts a scene on the controller and hands
// it a changed scene record.

#include <string>

class KV_Visu_Host;

// Asks the controller to write the items of the scene with this identifier.
// False while not connected.
bool kv_scene_start(KV_Visu_Host& host, const std::string& scene_guid);

// Stops a running scene: writes its stop trigger to its stop address.
// False when the scene has no stop address in the project.
bool kv_scene_stop(KV_Visu_Host& host, const std::string& scene_guid);

// Sends the host's scene record, then the identifier of the scene just
// stored, then the request to apply the record. Stops at the first message
// that could not be sent (nothing goes out while not connected).
bool kv_scene_send_record(KV_Visu_Host& host, const std::string& scene_guid);
