#pragma once
// The service-setting entries of the treatment record: one entry for each part of what
// the service manager keeps for a service besides its configuration, named by its
// "setting" field:
//
//   failure-actions       reset reboot command action...   (action: TYPE/DELAY)
//   failure-actions-flag  value                             (0 or 1)
//   delayed-start         value                             (0 or 1)
//   privileges            privilege...                      (none: an empty list)
//   sid-type              value
//   trigger               type action subtype data...       (one trigger an entry;
//                                                            subtype and data TYPE/hex)
//   preshutdown-timeout   value                             (milliseconds)
//   security              data                              (hexadecimal)

#include <vector>

#include "core/platform/service_manager_api.h"
#include "core/restore/record_field_reader.h"
#include "core/restore/record_line.h"

namespace zc {

// The fields of each part that `settings` holds, one set of fields per entry (each
// without the action and the treatment and service fields).
std::vector<RecordLine> ServiceSettingFields(const ServiceSettings& settings);

// The one part an entry holds; a problem goes to `read`.
ServiceSettings ServiceSettingFromLine(const RecordLine& line, FieldReader& read);

// Adds the parts of `more` to `settings` (triggers are appended, other parts replaced).
void MergeServiceSettings(ServiceSettings& settings, const ServiceSettings& more);

}  // namespace zc
