#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/network/network_neighbourhood.h"
#include "platform/network/network_resources.h"

namespace corvane {

// One entry of the network neighbourhood, enumerating its children on
// demand. A new object is the root ("Entire Network").
class NetworkResource {
public:
    // The children (disk resources); enumerated on the first read, and again
    // on a read after an enumeration that could not be opened.
    NetworkResources& Nodes();
    // Enumerates the children into a new collection. An error inside (a
    // second entry with the same remote name) reaches the caller; the
    // children added so far stay and the next read of Nodes tries again.
    void GetNodes();
    // Adds the printers below this resource to the existing children; Nodes
    // must have been read first.
    void GetPrinters();

    const std::string& Comment() const { return record_.comment; }
    const std::string& LocalName() const { return record_.localName; }
    const std::string& Provider() const { return record_.provider; }
    const std::string& RemoteName() const { return record_.remoteName; }
    // The display type, or 255 for a printer.
    std::int32_t ResourceType() const { return isPrinter_ ? 255 : record_.displayType; }
    std::string ResourceTypeName() const;
    // The part of the remote name after its last backslash.
    std::string ShortName() const;

    void SetResource(const NetResourceRecord& record) { record_ = record; }
    void SetIsPrinter(bool isPrinter) { isPrinter_ = isPrinter; }
    bool NodesLoaded() const { return nodesLoaded_; }

private:
    // Walks one enumeration of this resource's children; False when it
    // cannot be opened.
    bool Walk(std::int32_t type, std::int32_t usage,
              const std::function<void(const NetResourceRecord&)>& add);

    NetResourceRecord record_;
    std::shared_ptr<NetworkResources> nodes_;
    bool nodesLoaded_ = false;
    bool isPrinter_ = false;
};

}  // namespace corvane
