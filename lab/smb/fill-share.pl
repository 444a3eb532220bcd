# Fills one share of the SMB lab: perl fill-share.pl FOLDER FOLDERS FILES
# FOLDERS folders (in groups of ten under "Area N") of FILES files each, of four kinds, with
# sizes and modification dates that differ from file to file but are the same on every run.
# The share's top holds a name outside ASCII and a sparse file above 4 GiB. Files are sparse:
# the share costs almost no disk.
use strict;
use warnings;
use File::Path qw(make_path);

my ($top, $folders, $files) = @ARGV;
die "usage: fill-share.pl FOLDER FOLDERS FILES\n" unless defined $files;
my @kinds = ('report %d.doc', 'photo_%d.jpg', 'notes-%d.txt', 'song %d.mp3');
my $first = 1420070400; # 2015-01-01

sub make_file {
    my ($path, $size, $time) = @_;
    open(my $out, '>', $path) or die "$path: $!\n";
    close($out);
    truncate($path, $size) or die "$path: $!\n";
    utime($time, $time, $path) or die "$path: $!\n";
}

make_path($top);
make_file("$top/read me.txt", 1234, $first + 86400 * 100);
make_file("$top/\xC3\x9Cbersicht 2024.txt", 4321, $first + 86400 * 3300);
make_file("$top/disk image.img", 5 * 1024 * 1024 * 1024 + 17, $first + 86400 * 2000);
for my $j (0 .. $folders - 1) {
    my $folder = sprintf('%s/Area %d/Folder %03d', $top, int($j / 10), $j);
    make_path($folder);
    for my $i (0 .. $files - 1) {
        my $name = sprintf($kinds[$i % 4], $i);
        my $size = ($i * 7919 + $j * 104729) % 250000;
        my $time = $first + (($i * 37 + $j * 101) % 3650) * 86400 + ($i * 3607) % 86400;
        make_file("$folder/$name", $size, $time);
    }
    my $time = $first + ($j % 3000) * 86400;
    utime($time, $time, $folder);
}
