// A counted list of records in an object file: the count (u32), then each
// record's fields as `fields` serialises them. On load the count is checked
// against the bytes left (each record takes at least minRecordBytes) and
// the list is replaced only once every record has been read, so a refused
// file leaves the list as it was.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "core/files/SerializeStream.h"
#include "services/resources/Resource.h"

namespace tge {

template <class Record, class Fields>
bool SerializeRecords(SerializeStream& stream, std::vector<Record>& records, std::uint64_t minRecordBytes,
                      Fields fields) {
  auto count = static_cast<std::uint32_t>(records.size());
  stream.Serialize(count);
  if (stream.IsWriting()) {
    for (Record& record : records) fields(record);
    return !stream.Failed();
  }
  if (stream.Failed() || !CountFitsStream(stream, count, minRecordBytes)) {
    stream.MarkFailed();
    return false;
  }
  std::vector<Record> loaded(count);
  for (Record& record : loaded) fields(record);
  if (stream.Failed()) return false;
  records = std::move(loaded);
  return true;
}

}  // namespace tge
