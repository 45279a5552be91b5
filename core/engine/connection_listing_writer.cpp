#include "core/engine/connection_listing_writer.h"

#include "core/engine/endpoint_text.h"

namespace zc {
namespace {

constexpr TextView kLineEnd = u"\r\n";

void AppendPadded(Text& line, TextView field, size_t width) {
  line += field;
  if (field.size() < width) line.append(width - field.size(), u' ');
}

}  // namespace

TextView TcpStateText(TcpState state) {
  switch (state) {
    case TcpState::Closed: return u"CLOSED";
    case TcpState::Listening: return u"LISTENING";
    case TcpState::SynSent: return u"SYN_SENT";
    case TcpState::SynReceived: return u"SYN_RECEIVED";
    case TcpState::Established: return u"ESTABLISHED";
    case TcpState::FinWait1: return u"FIN_WAIT_1";
    case TcpState::FinWait2: return u"FIN_WAIT_2";
    case TcpState::CloseWait: return u"CLOSE_WAIT";
    case TcpState::Closing: return u"CLOSING";
    case TcpState::LastAck: return u"LAST_ACK";
    case TcpState::TimeWait: return u"TIME_WAIT";
    case TcpState::DeleteTcb: return u"DELETE_TCB";
  }
  return u"UNKNOWN";
}

Text ConnectionListingLine(const ConnectionRow& row) {
  const bool tcp = row.protocol == IpProtocol::Tcp;
  Text line = u"  ";
  AppendPadded(line, tcp ? u"TCP" : u"UDP", 5);
  line += u"  ";
  AppendPadded(line, EndpointText(row.local), 22);
  line += u' ';
  if (tcp) {
    IpEndpoint remote = row.remote;
    if (row.state == TcpState::Listening) remote.port = 0;
    AppendPadded(line, EndpointText(remote), 22);
  } else {
    AppendPadded(line, u"*:*", 22);
  }
  line += u' ';
  AppendPadded(line, tcp ? TcpStateText(row.state) : TextView(), 16);
  line += DecimalText(row.owningProcessId);
  return line;
}

Text WriteConnectionListing(const std::vector<ConnectionRow>& rows, TextView title, TextView columns) {
  Text listing;
  listing.reserve(80 * (rows.size() + 4));
  listing += kLineEnd;
  listing += title;
  listing += kLineEnd;
  listing += kLineEnd;
  listing += columns;
  listing += kLineEnd;
  for (const ConnectionRow& row : rows) {
    listing += ConnectionListingLine(row);
    listing += kLineEnd;
  }
  return listing;
}

}  // namespace zc
