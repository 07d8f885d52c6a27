#!/usr/bin/perl
# Reads one message as a mail program built on Perl's Email::MIME would, and prints what it
# shows in the common reader shape (see docs/testing.md, "Mail readers").
#
# Usage: reader_email_mime.pl MESSAGE.eml...   (one JSON line per message)
use strict;
use warnings;

use Digest::SHA qw(sha256_hex);
use Email::MIME;
use Email::MIME::ContentType qw(parse_content_type parse_content_disposition);
use JSON::PP;
use Scalar::Util qw(refaddr);

sub unfold {
    my ($text) = @_;
    return undef unless defined $text;
    $text =~ s/\r?\n(?=[ \t])//g;
    return $text;
}

sub mime_type {
    my ($part) = @_;
    my $type = parse_content_type($part->content_type // 'text/plain');
    return lc "$type->{type}/$type->{subtype}";
}

sub is_multipart { return mime_type($_[0]) =~ m{^multipart/} }

sub children {
    my ($part) = @_;
    return () unless is_multipart($part);
    my @parts = $part->subparts;
    return @parts;
}

sub leaves {
    my ($part) = @_;
    return is_multipart($part) ? map { leaves($_) } children($part) : ($part);
}

sub content_id {
    my $id = $_[0]->header('Content-ID');
    return undef unless defined $id;
    $id =~ s/^\s*<|>\s*$//g;
    return $id;
}

sub related_root {
    my ($related) = @_;
    my @parts = children($related);
    my $start = parse_content_type($related->content_type)->{attributes}{start};
    if (defined $start) {
        $start =~ s/^<|>$//g;
        for my $part (@parts) {
            return $part if (content_id($part) // '') eq $start;
        }
    }
    return $parts[0];
}

sub text_of {
    my ($part) = @_;
    return undef unless $part;
    my $text = mime_type($part) =~ m{^text/} ? $part->body_str : undef;
    $text =~ s/\r\n/\n/g if defined $text;
    return { type => mime_type($part), text => $text };
}

# What a program shows as the body: from the top, the first part of a mixed container, the root
# of a related one and the last part it can display of an alternative one.
sub choose_body {
    my ($part) = @_;
    my ($plain, $related);
    while ($part && is_multipart($part)) {
        my $kind = mime_type($part);
        my @parts = children($part);
        if ($kind eq 'multipart/related') {
            $related = $part;
            $part = related_root($part);
        } elsif ($kind eq 'multipart/alternative') {
            my @shown = grep { mime_type($_) =~ m{^(text/html|text/plain|multipart/.*)$} } @parts;
            ($plain) = grep { mime_type($_) eq 'text/plain' } @parts;
            $part = $shown[-1];
        } else {
            $part = $parts[0];
        }
    }
    undef $plain if $plain && $part && refaddr($plain) == refaddr($part);
    return ($part, $plain, $related);
}

sub disposition {
    my $value = $_[0]->header('Content-Disposition');
    return defined $value ? lc parse_content_disposition($value)->{type} : '';
}

sub read_message {
    my ($path) = @_;
    open my $in, '<:raw', $path or die "$path: $!";
    my $raw = do { local $/; <$in> };
    close $in;
    my $email = Email::MIME->new($raw);

    my ($body, $plain, $related) = choose_body($email);
    my (@inline, @used);
    if ($body && mime_type($body) eq 'text/html') {
        my $root = $related ? related_root($related) : undef;
        my @resources = $related ? grep { refaddr($_) != refaddr($root) } children($related) : ();
        my $html = $body->body_str;
        while ($html =~ /cid:([^"'\s>)]+)/gi) {
            my $cid = $1;
            my ($match) = grep { (content_id($_) // '') eq $cid } @resources;
            if ($match) {
                push @used, $match;
                push @inline, { cid => $cid, type => mime_type($match),
                                sha256 => sha256_hex($match->body) };
            } else {
                push @inline, { cid => $cid, type => undef, sha256 => undef };
            }
        }
    }
    my %shown = map { refaddr($_) => 1 } grep { defined } ($body, $plain, @used);
    my (@attachments, @other);
    for my $leaf (leaves($email)) {
        next if $shown{refaddr($leaf)};
        if (disposition($leaf) eq 'attachment') {
            push @attachments, { name => $leaf->filename, type => mime_type($leaf),
                                 sha256 => sha256_hex($leaf->body) };
        } else {
            push @other, { type => mime_type($leaf), name => $leaf->filename };
        }
    }
    return {
        reader => 'email-mime',
        subject => unfold(scalar $email->header_str('Subject')),
        from => mailboxes($email, 'From'),
        to => mailboxes($email, 'To'),
        cc => mailboxes($email, 'Cc'),
        body => text_of($body),
        alternative => text_of($plain),
        inline => \@inline,
        attachments => \@attachments,
        other => \@other,
    };
}

sub mailboxes {
    my ($email, $name) = @_;
    return [] unless defined $email->header_raw($name);
    my $list = $email->header_as_obj($name);
    return [ map { { name => unfold($_->phrase) // '', address => $_->address } }
             $list->addresses ];
}

print JSON::PP->new->ascii->canonical->encode(read_message($_)), "\n" for @ARGV;
