#!/usr/bin/perl
# Usage: make_test_firmware.pl SIZE OUT
# Writes the test firmware image the simulator and the demo use: SIZE bytes of
# xorshift32 noise from seed 1, the top byte of each state (as
# MakeTestFirmwareImage in sim/sim_ota_device.cpp makes it).
use strict;
use warnings;
my ($size, $out) = @ARGV;
die "usage: $0 SIZE OUT\n" unless defined $out;
my $state = 1;
my $bytes = '';
for (1 .. $size) {
    $state ^= ($state << 13) & 0xFFFFFFFF;
    $state ^= $state >> 17;
    $state ^= ($state << 5) & 0xFFFFFFFF;
    $bytes .= chr($state >> 24);
}
open(my $fh, '>:raw', $out) or die "$out: $!\n";
print $fh $bytes;
close($fh);
