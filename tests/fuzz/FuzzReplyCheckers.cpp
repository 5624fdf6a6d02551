// libFuzzer target for everything that reads bytes from the other end of the link: the identify and
// short reply checks, and the device side's reading of commands and frame packets. Input is the raw reply exactly as
// long as a read delivered it, so a check that looks past the length trips the address sanitizer. Also builds firmware
// blocks from the input, to keep the builder inside the transmit buffer for every length.

#include "device/Packets.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > std::size_t(Packets::kRxBufferSize))
        return 0; // a read never delivers more than the receive buffer holds
    const std::vector<std::uint8_t> reply(data, data + size);
    const int length = int(size);

    Packets::IdentifyReply identify;
    const Packets::ReplyCheck identifyCheck = Packets::checkIdentifyReply(reply.data(), length, &identify);
    if (identifyCheck == Packets::ReplyOk) {
        // Accepted only when it has the right length and its trailer is the CRC of the rest.
        if (size != std::size_t(Packets::kIdentifyReplySize))
            std::abort();
        const std::uint32_t crc = Packets::packetCrc32(reply.data(), 32);
        const std::uint32_t trailer = (std::uint32_t(reply[32]) << 24) | (std::uint32_t(reply[33]) << 16) |
                                      (std::uint32_t(reply[34]) << 8) | reply[35];
        if (crc != trailer || identify.state != reply[2] || std::memcmp(identify.version, &reply[18], 5) != 0)
            std::abort();
    } else if (size == std::size_t(Packets::kIdentifyReplySize) && identifyCheck != Packets::ReplyBadCrc) {
        std::abort();
    }

    std::uint8_t result = 0xEE;
    const Packets::ReplyCheck shortCheck = Packets::checkShortReply(reply.data(), length, &result);
    if (shortCheck == Packets::ReplyOk && (size != std::size_t(Packets::kShortReplySize) || result != reply[8]))
        std::abort();
    if (shortCheck != Packets::ReplyOk && result != 0xEE)
        std::abort();

    // The device side reads host packets; whatever it accepts must stay inside the input.
    Packets::Command command;
    if (Packets::parseCommand(reply.data(), length, &command) && command.kind == Packets::CommandKind::FirmwareBlock &&
        (command.blockData < reply.data() || command.blockData + command.blockLength > reply.data() + size))
        std::abort();
    Packets::FrameHeader frame;
    if (Packets::checkFramePacket(reply.data(), size, &frame) == Packets::FrameCheck::Ok &&
        std::size_t(frame.jpegLength) + Packets::kFrameHeaderSize != size)
        std::abort();

    // A reply is refused as another command's only when it is a well-formed reply of its own
    // (right length, matching CRC); everything else is left to the checks above.
    std::vector<std::uint8_t> request(Packets::kTxBufferSize);
    for (int kind = 0; kind < 3; ++kind) {
        if (kind == 0)
            Packets::buildIdentifyRequest(request.data());
        else if (kind == 1)
            Packets::buildRestartRequest(request.data(), 0);
        else
            Packets::buildFirmwareEnd(request.data(), 8, 0);
        if (!Packets::replyAnswers(request.data(), reply.data(), length) && identifyCheck != Packets::ReplyOk &&
            shortCheck != Packets::ReplyOk)
            std::abort();
    }

    // A block of the input's bytes (up to the largest block) must fit the transmit buffer exactly.
    if (size >= 1) {
        const int blockLength = int(size % (Packets::kFirmwareBlockMax + 1));
        std::vector<std::uint8_t> payload(std::size_t(blockLength) + 1, data[0]);
        std::vector<std::uint8_t> tx(Packets::kTxBufferSize);
        const int written = Packets::buildFirmwareBlock(tx.data(), 0x1000, payload.data(), blockLength);
        if (blockLength == 0 ? written != -1 : (written < blockLength + 14 || written > Packets::kTxBufferSize))
            std::abort();
    }
    return 0;
}
