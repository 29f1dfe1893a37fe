#!/usr/bin/perl
# Writes tests/data/file-keepass.kdb with File::KeePass (Debian's
# libfile-keepass-perl), a KeePass 1.x implementation independent of this
# project, so that the reader is checked against a file it did not write.
# tests/kpass/file_keepass_test.cpp expects exactly the values below.
#
#   perl scripts/make-file-keepass-kdb.pl [output path]
#
# Password: "correct horse". AES, 1500 rounds (File::KeePass writes AES only).
# Texts are UTF-8 bytes, written as escapes so that Perl keeps them as bytes.
use strict;
use warnings;
use File::KeePass;

my $path = shift // 'tests/data/file-keepass.kdb';
my $password = 'correct horse';
my $never = '2999-12-28 23:59:59';

my $k = File::KeePass->new;
my %times = (created => '2011-02-03 04:05:06', modified => '2012-03-04 05:06:07', accessed => '2013-04-05 06:07:08');

my $internet = $k->add_group({title => 'Internet', id => 1001, icon => 1, %times, expires => $never});
my $mail = $k->add_group({title => "E-Mail \xc3\xa0 la maison", id => 1002, icon => 19, group => $internet,
                          %times, expires => '2030-01-31 12:00:00'});
my $deep = $k->add_group({title => 'Deep', id => 1003, icon => 0, group => $mail, %times, expires => $never});
my $bank = $k->add_group({title => 'Banking', id => 4000000000, icon => 37, %times, expires => $never});

$k->add_entry({
    group    => $internet,
    id       => 'ABCDEFGHIJKLMNOP',
    icon     => 1,
    title    => 'Example site',
    url      => 'https://www.example.com/login?next=%2Fhome&lang=en',
    username => 'alice@example.com',
    password => 'S3cr3t!"#$%&\'()',
    comment  => "First line\nSecond line \xe2\x80\x94 with a dash",
    created  => '2014-05-06 07:08:09',
    modified => '2015-06-07 08:09:10',
    accessed => '2016-07-08 09:10:11',
    expires  => $never,
    binary   => {'photo.bin' => "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe"},
});
$k->add_entry({
    group    => $mail,
    id       => '0123456789abcdef',
    icon     => 19,
    title    => "Courriel \xc3\xa9t\xc3\xa9",
    url      => 'imap://mail.example.org',
    username => "b\xc3\xb8b",
    password => "p\xc3\xa4ss w\xc3\xb6rd \xe2\x82\xac",
    comment  => '',
    created  => '2017-01-01 00:00:00',
    modified => '2017-01-01 00:00:01',
    accessed => '2017-01-01 00:00:02',
    expires  => '2020-02-29 23:59:58',
});
$k->add_entry({
    group    => $deep,
    id       => 'deep-entry-uuid!',
    icon     => 0,
    title    => 'A title that is well over twenty-four bytes long',
    url      => '',
    username => '',
    password => '',
    comment  => '',
    created  => '2018-08-08 08:08:08',
    modified => '2018-08-08 08:08:08',
    accessed => '2018-08-08 08:08:08',
    expires  => $never,
});
$k->add_entry({
    group    => $bank,
    id       => 'bank-account-001',
    icon     => 37,
    title    => 'Bank',
    url      => 'https://bank.example.net/',
    username => '12345678',
    password => '0000',
    comment  => 'PIN for the card',
    created  => '2019-09-09 09:09:09',
    modified => '2019-10-10 10:10:10',
    accessed => '2019-11-11 11:11:11',
    expires  => '2025-12-31 00:00:00',
});

$k->save_db($path, $password, {rounds => 1500}) or die "could not write $path\n";
print "wrote $path\n";
