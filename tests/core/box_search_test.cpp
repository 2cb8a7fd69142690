#include "protocol/box_search.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace
{

// What reads of the candidate bring, in order.
void Receive(std::initializer_list<uint8_t> bytes)
{
    for (uint8_t byte : bytes)
        Candidate.bytes[Candidate.count++] = byte;
}

// Ports are tried one at a time, in the order they arrived, one that arrives
// while another is tried too, each once it has settled; one that goes before
// its turn is not tried. The first text reply decides, whatever came before
// it, a contact report too; a port that does not open or answer in time is
// not the box either. A rejected port is tried again only once it has gone
// and arrived anew; one that goes while it is tried is not rejected.
TEST(BoxSearch, AnnouncedPortsAreTriedInTurnAndOnlyTheSignatureIsTheBox)
{
    const uint8_t reply[] = {FRAME_TEXT, 'b', 'o', 'x', FRAME_END};
    const uint8_t left[] = {FRAME_TEXT, 'L', '6', FRAME_END};
    ExpectSignature(); // the box is asked "CP" and answers, then "CL"
    KeepSignature({FRAME_TEXT, nullptr, false, "", 0, reply, sizeof reply});
    KeepSignature({FRAME_TEXT, nullptr, false, "", 0, left, sizeof left});
    ASSERT_TRUE(BeginSearch());
    EXPECT_TRUE(NoteArrival(8, 1000));
    EXPECT_TRUE(NoteArrival(9, 1100));
    EXPECT_TRUE(NoteArrival(7, 1200));
    EXPECT_EQ(TakeCandidate(1000 + CANDIDATE_SETTLE_MS - 1), 0u);
    EXPECT_EQ(TakeCandidate(1800), 8u);
    EXPECT_EQ(TakeCandidate(1800), 0u);
    EXPECT_TRUE(NoteArrival(5, 1850)); // waits behind 9 and 7, until it goes
    CandidateAsked(1800);
    Receive({0x80, 0x08, 0x10, FRAME_END, FRAME_TEXT, 'b', 'o', 'y', FRAME_END});
    EXPECT_EQ(JudgeCandidate(1900), CANDIDATE_IS_NOT);
    RejectCandidate();

    EXPECT_EQ(TakeCandidate(2000), 9u); // it does not open
    EXPECT_EQ(JudgeCandidate(2000 + CANDIDATE_OPEN_MS - 1), CANDIDATE_WAIT);
    EXPECT_EQ(JudgeCandidate(2000 + CANDIDATE_OPEN_MS), CANDIDATE_IS_NOT);
    RejectCandidate();

    EXPECT_EQ(TakeCandidate(4000), 7u); // it does not answer
    CandidateAsked(4000);
    EXPECT_EQ(JudgeCandidate(4000 + CANDIDATE_REPLY_MS - 1), CANDIDATE_WAIT);
    EXPECT_EQ(JudgeCandidate(4000 + CANDIDATE_REPLY_MS), CANDIDATE_IS_NOT);
    RejectCandidate();
    EXPECT_FALSE(NoteArrival(8, 5000));
    NoteRemoval(8);
    NoteRemoval(7);
    NoteRemoval(5);
    EXPECT_TRUE(NoteArrival(8, 6000));
    EXPECT_TRUE(NoteArrival(7, 6100));

    EXPECT_EQ(TakeCandidate(6500), 8u);
    NoteRemoval(8);
    EXPECT_EQ(JudgeCandidate(6500), CANDIDATE_IS_NOT);
    RejectCandidate();
    EXPECT_TRUE(NoteArrival(8, 6600));

    EXPECT_EQ(TakeCandidate(6600), 7u);
    CandidateAsked(6600);
    Receive({0x05, FRAME_CONTACTS, 0x08, 0x10, FRAME_END, FRAME_TEXT, 'b', 'o'});
    EXPECT_EQ(JudgeCandidate(6700), CANDIDATE_WAIT);
    Receive({'x', FRAME_END, 0x80});
    EXPECT_EQ(JudgeCandidate(6700), CANDIDATE_IS_THE_BOX);
    EndSearch();
    EXPECT_FALSE(NoteArrival(9, 7000));
}

} // namespace
