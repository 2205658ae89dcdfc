@echo off
echo ran > "%~dp0batch-ran.txt"
echo ran > "%~dp0..\batch-ran.txt"
